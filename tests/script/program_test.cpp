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

TEST(Program, PieceCopiesKeepTheirOwnText) {
    Piece a = Piece::ofText(true, "x,1,+,");
    Piece c = a;
    EXPECT_EQ(c.postfix(), "x,1,+,");
    EXPECT_NE(static_cast<const void*>(c.text()), static_cast<const void*>(a.text()));
    Piece d;
    d = c;
    d = d;
    EXPECT_EQ(d.postfix(), "x,1,+,");
    EXPECT_TRUE(d.present);
    Piece e = std::move(d);
    EXPECT_EQ(e.postfix(), "x,1,+,");
    EXPECT_TRUE(d.empty());
    c = Piece{true, {}};
    EXPECT_TRUE(c.present);
    EXPECT_TRUE(c.empty());
    EXPECT_STREQ(c.text(), "");
    EXPECT_EQ(a.postfix(), "x,1,+,");  // untouched by what happened to its copies
    EXPECT_FALSE(Piece::ofText(false, "").present);
}

}  // namespace
