// The program's if-table index and label lookup against plain scans of the tables.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/headless/headless_host.h"
#include "script/program.h"
#include "script/variables.h"

using namespace qf;

namespace {

// The first entry from k on that a depth-counting scan stops at: any branch entry
// (elseif, else, endif) or only an endif, at depth 0.
int scanFrom(const std::vector<IfEntry>& ifs, size_t k, bool endOnly) {
    int depth = 0;
    for (size_t j = k; j < ifs.size(); ++j) {
        switch (ifs[j].kind) {
            case IF_IF: ++depth; break;
            case IF_ENDIF:
                if (depth == 0) return static_cast<int>(j);
                --depth;
                break;
            default:
                if (depth == 0 && !endOnly) return static_cast<int>(j);
                break;
        }
    }
    return -1;
}

TEST(Program, IfIndexMatchesTheScanOnRandomTables) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 400; ++round) {
        Program p;
        const int n = static_cast<int>(rng() % 40);
        int line = 0;
        for (int k = 0; k < n; ++k) {
            line += 1 + static_cast<int>(rng() % 3);
            // More "#if" and "#endif" than the rest, unbalanced on purpose.
            const int kinds[] = {IF_IF, IF_IF, IF_ENDIF, IF_ENDIF, IF_ELSE, IF_ELSEIF};
            p.ifs.push_back({kinds[rng() % 6], line, line});
        }
        p.index();
        ASSERT_TRUE(p.ifsIndexed());
        for (size_t k = 0; k <= p.ifs.size(); ++k) {
            ASSERT_EQ(p.ifBranchFrom[k], scanFrom(p.ifs, k, false)) << "round " << round << " entry " << k;
            ASSERT_EQ(p.ifEndFrom[k], scanFrom(p.ifs, k, true)) << "round " << round << " entry " << k;
        }
        for (int l = -1; l <= line + 1; ++l) {
            size_t first = 0;
            while (first < p.ifs.size() && p.ifs[first].line <= l) ++first;
            ASSERT_EQ(p.firstIfAfter(l), static_cast<int>(first)) << "line " << l;
        }
        // Lines asked in any order and again, so that the previous answer is often wrong.
        for (int q = 0; q < 60; ++q) {
            const int l = static_cast<int>(rng() % static_cast<unsigned>(line + 3)) - 1;
            size_t first = 0;
            while (first < p.ifs.size() && p.ifs[first].line <= l) ++first;
            ASSERT_EQ(p.firstIfAfter(l), static_cast<int>(first)) << "line " << l;
            ASSERT_EQ(p.firstIfAfter(l), static_cast<int>(first)) << "line " << l;
        }
    }
}

TEST(Program, IfTablesOutOfLineOrderAreNotIndexed) {
    Program p;
    // An answer remembered from an earlier table must not survive its change.
    p.ifs = {{IF_IF, 2, 2}, {IF_ENDIF, 4, 4}, {IF_IF, 6, 6}, {IF_ENDIF, 8, 8}};
    p.index();
    EXPECT_EQ(p.firstIfAfter(7), 3);
    p.ifs = {{IF_IF, 10, 10}, {IF_ENDIF, 12, 12}};
    p.index();
    EXPECT_EQ(p.firstIfAfter(7), 0);
    EXPECT_EQ(p.firstIfAfter(11), 1);
    p.ifs.clear();
    p.index();
    EXPECT_EQ(p.firstIfAfter(11), 0);
    p.ifs = {{IF_IF, 5, 5}, {IF_ENDIF, 3, 3}};
    p.index();
    EXPECT_FALSE(p.ifsIndexed());
    p.ifs.push_back({IF_ENDIF, 9, 9});
    EXPECT_FALSE(p.ifsIndexed());
}

TEST(Program, LabelLookupFindsTheFirstOfEachNameAndFollowsTheTable) {
    Program p;
    p.labels = {{"*a", 1, 1}, {"*b", 4, 4}, {"*a", 7, 7}};
    p.index();
    EXPECT_EQ(p.findLabel("*a"), 0);
    EXPECT_EQ(p.findLabel("*b"), 1);
    EXPECT_EQ(p.findLabel("*c"), -1);
    EXPECT_EQ(p.findLabel("*"), -1);
    // The table changed after indexing: lookups still give the table's answer.
    p.labels.erase(p.labels.begin());
    EXPECT_EQ(p.findLabel("*a"), 1);
    EXPECT_EQ(p.findLabel("*b"), 0);
    p.labels.push_back({"*c", 9, 9});
    EXPECT_EQ(p.findLabel("*c"), 2);
    p.labels.clear();
    EXPECT_EQ(p.findLabel("*a"), -1);
}

TEST(Program, PieceListStoresUpToTheLastPresentPiece) {
    PieceList pieces;
    EXPECT_EQ(pieces.size(), 0u);
    for (size_t k = 0; k < static_cast<size_t>(kPieceCount); ++k) EXPECT_FALSE(pieces[k].present);
    pieces.set(2, Piece{true, rpnCompile("a,1,+,")});
    EXPECT_EQ(pieces.size(), 3u);
    EXPECT_FALSE(pieces[0].present);
    EXPECT_FALSE(pieces[1].present);
    EXPECT_TRUE(pieces[2].present);
    EXPECT_EQ(pieces[2].postfix(), "a,1,+,");
    EXPECT_FALSE(pieces[3].present);
    EXPECT_TRUE(pieces[7].postfix().empty());
    pieces.set(0, Piece{true, {}});
    EXPECT_EQ(pieces.size(), 3u);
    EXPECT_TRUE(pieces[0].present);
    EXPECT_TRUE(pieces[0].postfix().empty());
}

TEST(Program, PieceCopiesKeepTheirTextAndIdentity) {
    Piece a = Piece::ofText(true, "x,1,+,");
    Piece b = Piece::ofText(true, "x,1,+,");
    EXPECT_NE(a.id(), 0u);
    EXPECT_NE(a.id(), b.id());  // same text, separate pieces
    Piece c = a;
    EXPECT_EQ(c.id(), a.id());
    EXPECT_EQ(c.postfix(), "x,1,+,");
    EXPECT_NE(static_cast<const void*>(c.text()), static_cast<const void*>(a.text()));
    Piece d;
    d = c;
    d = d;
    EXPECT_EQ(d.postfix(), "x,1,+,");
    EXPECT_TRUE(d.present);
    Piece e = std::move(d);
    EXPECT_EQ(e.id(), a.id());
    EXPECT_TRUE(d.empty());
    c = Piece{true, {}};
    EXPECT_TRUE(c.present);
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(c.id(), 0u);
    EXPECT_STREQ(c.text(), "");
    EXPECT_EQ(a.postfix(), "x,1,+,");  // untouched by what happened to its copies
    EXPECT_FALSE(Piece::ofText(false, "").present);
}

// Pieces whose identities take the same entry of the compiled-form table displace
// each other: each must still evaluate to its own text, also after its form was
// replaced and rebuilt, and a copy must run the form of the original's text.
TEST(Program, PieceFormsFollowTheirTexts) {
    HeadlessHost host;
    auto vars = std::make_unique<Variables>(host);
    auto rpn = std::make_unique<Rpn>(*vars, host);
    std::vector<Piece> pieces;
    const size_t n = Rpn::kPieceSlots * Rpn::kPieceWays + 3;
    pieces.reserve(n);
    for (size_t i = 0; i < n; ++i) pieces.push_back(Piece::ofText(true, std::to_string(i) + ",2,*,"));
    auto run = [&](const Piece& p) { return rpn->rpnRun(rpn->pieceExpr(p.id(), p.text())).num(); };
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; i += pass ? 1 : 3) EXPECT_EQ(run(pieces[i]), 2.0 * static_cast<double>(i)) << i;
    Piece copy = pieces[1];
    EXPECT_EQ(run(copy), 2.0);
    for (size_t way = 1; way <= Rpn::kPieceWays; ++way) {
        const size_t other = 1 + way * Rpn::kPieceSlots;
        EXPECT_EQ(run(pieces[other]), 2.0 * static_cast<double>(other));
    }
    EXPECT_EQ(run(copy), 2.0);
    // The empty text evaluates to integer 0, whatever took its entry before.
    const Piece empty{true, {}};
    for (size_t i = 0; i < n; i += 97) {
        EXPECT_EQ(run(pieces[i]), 2.0 * static_cast<double>(i));
        variant v = rpn->rpnRun(rpn->pieceExpr(empty.id(), empty.text()));
        EXPECT_EQ(v.num(), 0.0);
        EXPECT_FALSE(v.isString());
    }
}

// A variable's cached record index lives in the compiled form: a form rebuilt after
// displacement must still find the variable, also after records moved.
TEST(Program, PieceFormsRebuiltFindVariables) {
    HeadlessHost host;
    auto vars = std::make_unique<Variables>(host);
    auto rpn = std::make_unique<Rpn>(*vars, host);
    const Piece step = Piece::ofText(true, "i,i,1,+,=,");
    const Piece other = Piece::ofText(true, "j,5,=,");
    // Pieces made until two share the set of `step`: each round then displaces it.
    std::vector<Piece> fillers, sharing;
    while (sharing.size() < Rpn::kPieceWays) {
        fillers.push_back(Piece::ofText(true, "k,k,1,+,="));
        if ((fillers.back().id() - step.id()) % Rpn::kPieceSlots == 0) sharing.push_back(fillers.back());
    }
    for (int round = 0; round < 5; ++round) {
        rpn->rpnRun(rpn->pieceExpr(step.id(), step.text()));
        for (const Piece& p : sharing) rpn->rpnRun(rpn->pieceExpr(p.id(), p.text()));
        if (round == 2) {
            vars->valSetInt("aaa", 1);
            rpn->rpnRun(rpn->pieceExpr(other.id(), other.text()));
        }
    }
    EXPECT_EQ(vars->valGetInt(vars->valFind("i")), 5);
    EXPECT_EQ(vars->valGetInt(vars->valFind("k")), 5 * static_cast<int>(Rpn::kPieceWays));
    EXPECT_EQ(vars->valGetInt(vars->valFind("j")), 5);
}

}  // namespace
