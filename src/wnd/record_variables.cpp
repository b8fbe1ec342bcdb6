#include "wnd/record_variables.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cmath>
#include <cstdio>

#include "platform/report.h"
#include "script/variables.h"
#include "script/variant.h"
#include "wnd/save_record.h"

namespace qf {

namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (char ch : text) {
        switch (ch) {
            case '\\': out += "\\\\"; break;
            case ',': out += "\\c"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += ch; break;
        }
    }
}

// Whole numbers the plain dump's way ("%.0f"); everything else in the
// shortest form that reads back to the same double.
void appendNumber(std::string& out, double v) {
    char buf[64];
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 9007199254740992.0) {
        const int n = std::snprintf(buf, sizeof buf, "%.0f", v);
        out.append(buf, static_cast<size_t>(n));
        return;
    }
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// Splits a line at the commas that are not escaped and undoes the escapes.
int splitFields(std::string_view line, std::string (&fields)[3]) {
    int n = 0;
    fields[0].clear();
    for (size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (ch == ',') {
            if (++n == 3) return n;
            fields[n].clear();
            continue;
        }
        if (ch == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields[n] += next == 'c' ? ',' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
            continue;
        }
        fields[n] += ch;
    }
    return n + 1;
}

}  // namespace

std::string recordVariableText(const Variables& vars) {
    std::string out;
    out.reserve(static_cast<size_t>(vars.count()) * 24);
    for (int i = 0; i < vars.count(); ++i) {
        const Variable& r = vars.m_var[i];
        if (i) out += "\r\n";
        appendEscaped(out, r.m_name.raw());
        out += ',';
        if (r.m_value.isString()) appendEscaped(out, r.m_value.raw());
        else appendNumber(out, r.m_value.m_dValue);
        out += ',';
        out += intText(r.m_nKind).c_str();
    }
    return out;
}

void restoreRecordVariables(Variables& vars, std::string_view text) {
    int lines = 0;
    if (!text.empty()) {
        lines = 1;
        for (char ch : text) lines += ch == '\n';
    }
    dbg(vars.host(), "valAssignMem tokenDat.cnt()", lines);
    std::string fields[3];
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const int count = splitFields(line, fields);
        if (fields[0].empty()) continue;
        const std::string& value = count > 1 ? fields[1] : std::string();
        const int kind = count > 2 ? parseInt(fields[2].c_str()) : 0;
        if (kind == variant::kString) {
            vars.valSetStr(fields[0], value);
        } else if (kind == variant::kReal || kind == variant::kInteger) {
            double v = 0;
            std::from_chars(value.data(), value.data() + value.size(), v);
            variant number;
            number.setNumber(v, kind);
            vars.valSet(fields[0], number);
        } else {
            vars.valSetInt(fields[0], parseInt(value.c_str()));
        }
    }
}

}  // namespace qf

namespace qf {

void restoreRecord(Variables& vars, const RecordContents& record) {
    std::copy(std::begin(record.flags), std::end(record.flags), vars.m_flag);
    restoreRecordVariables(vars, record.variableText);
}

}  // namespace qf
