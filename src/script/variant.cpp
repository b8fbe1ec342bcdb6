#include "script/variant.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/report.h"
#include "platform/sjis.h"
#include "script/short_move.h"

namespace qf {

namespace {

void dispatchDestroy(qf_variant* self) {
    if (self->m_nSize > 0) std::free(self->m_pText);
    self->m_pText = self->m_szInline;
    self->m_nSize = 0;
    self->m_szInline[0] = 0;
}

inline bool isSpace(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The block size the growth rule gives for `need` bytes.
size_t growSize(size_t need) {
    static const size_t steps[] = {128, 256, 512, 1024, 4096, 16384, 65536, 1048576};
    for (size_t s : steps)
        if (s > need) return s;
    return need + 1;
}

}  // namespace

const qf_variant_dispatch variant::kDispatch = {&dispatchDestroy};

int32_t parseInt(const char* s) {
    if (!s) return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    while (isSpace(*p)) ++p;
    bool neg = false;
    if (*p == '+' || *p == '-') neg = *p++ == '-';
    int64_t v = 0;
    while (isDigit(*p)) {
        if (v < 4294967296LL) v = v * 10 + (*p - '0');
        ++p;
    }
    if (neg) v = -v;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

double parseReal(const char* s) {
    if (!s) return 0.0;
    const char* p = s;
    while (isSpace(static_cast<unsigned char>(*p))) ++p;
    bool neg = false;
    if (*p == '+' || *p == '-') neg = *p++ == '-';
    const char* start = p;
    bool digits = false;
    while (isDigit(*p)) ++p, digits = true;
    if (*p == '.') {
        ++p;
        while (isDigit(*p)) ++p, digits = true;
    }
    if (!digits) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        if (*e == '+' || *e == '-') ++e;
        if (isDigit(*e)) {
            while (isDigit(*e)) ++e;
            p = e;
        }
    }
    double v = 0.0;
    auto res = std::from_chars(start, p, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        std::string copy(start, p);
        v = std::strtod(copy.c_str(), nullptr);
    }
    return neg ? -v : v;
}

size_t formatInt(char* buf, int32_t value) {
    auto r = std::to_chars(buf, buf + 12, value);
    *r.ptr = 0;
    return static_cast<size_t>(r.ptr - buf);
}

size_t formatFixed(char* buf, double value, int precision) {
    auto r = std::to_chars(buf, buf + kNumBuf - 1, value, std::chars_format::fixed, precision);
    if (r.ec != std::errc()) {  // cannot happen for precision <= 6 in kNumBuf bytes
        int n = std::snprintf(buf, kNumBuf, "%.*f", precision, value);
        return n < 0 ? 0 : std::min(static_cast<size_t>(n), kNumBuf - 1);
    }
    *r.ptr = 0;
    return static_cast<size_t>(r.ptr - buf);
}

IntText intText(int value) {
    IntText t;
    formatInt(t.buf, value);
    return t;
}

int compareText(const char* a, const char* b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    while (*x && *x == *y) ++x, ++y;
    return static_cast<int>(*x) - static_cast<int>(*y);
}

// ---------------------------------------------------------------- construction

variant::variant() { initEmpty(); }

void variant::initText(const char* s, size_t n) {
    initEmpty();
    m_nKind = kString;
    if (n >= QF_VARIANT_INLINE) {
        size_t sz = n + 1 < 32 ? 32 : n + 1;
        m_pText = static_cast<char*>(std::malloc(sz));
        m_nSize = static_cast<int32_t>(sz);
    }
    std::memcpy(m_pText, s, n);
    m_pText[n] = 0;
}

variant::variant(const char* text) {
    if (!text) text = "";
    initText(text, std::strlen(text));
}

variant::variant(std::string_view text) { initText(text.data(), text.size()); }

variant::variant(int value) {
    initEmpty();
    m_dValue = value;
}

variant::variant(double value) {
    initEmpty();
    m_dValue = value;
    m_nKind = kReal;
}

variant::variant(const variant& o) {
    initEmpty();
    m_dValue = o.m_dValue;
    m_nKind = o.m_nKind;
    if (o.m_nKind == kString) {
        size_t n = std::strlen(o.m_pText);
        if (o.m_nSize > 0) {
            size_t sz = n + 1 < 32 ? 32 : n + 1;
            m_pText = static_cast<char*>(std::malloc(sz));
            m_nSize = static_cast<int32_t>(sz);
        }
        std::memcpy(m_pText, o.m_pText, n + 1);
    }
}

variant::variant(variant&& o) noexcept {
    initEmpty();
    m_dValue = o.m_dValue;
    m_nKind = o.m_nKind;
    if (o.m_nKind == kString) {
        if (o.m_nSize > 0) {
            m_pText = o.m_pText;
            m_nSize = o.m_nSize;
            o.m_pText = o.m_szInline;
            o.m_nSize = 0;
            o.m_szInline[0] = 0;
        } else {
            std::memcpy(m_szInline, o.m_szInline, std::strlen(o.m_szInline) + 1);
        }
    }
}

variant::~variant() {
    if (m_nSize > 0) std::free(m_pText);
}

void variant::swap(variant& o) noexcept {
    qf_variant a = *this, b = o;
    static_cast<qf_variant&>(*this) = b;
    static_cast<qf_variant&>(o) = a;
    if (m_nSize == 0) m_pText = m_szInline;
    if (o.m_nSize == 0) o.m_pText = o.m_szInline;
}

// ---------------------------------------------------------------- storage

void variant::reserve(size_t len1, size_t len2) {
    size_t need = len1 + len2 + 1;
    if (need < 2) return;
    if (m_nSize == 0 && need < QF_VARIANT_INLINE) return;
    if (m_nSize > 0 && need < static_cast<size_t>(m_nSize)) return;
    size_t sz = growSize(need);
    char* block = static_cast<char*>(std::malloc(sz));
    size_t cur = std::strlen(m_pText);
    if (cur >= sz) cur = sz - 1;
    std::memcpy(block, m_pText, cur);
    block[cur] = 0;
    if (m_nSize > 0) std::free(m_pText);
    m_pText = block;
    m_nSize = static_cast<int32_t>(sz);
}

void variant::storeRendered(const char* buf, size_t n) {
    size_t need = n + 1;
    bool fits = need < 2 || (m_nSize == 0 ? need < QF_VARIANT_INLINE : need < static_cast<size_t>(m_nSize));
    if (!fits) {
        size_t sz = growSize(need);
        char* block = static_cast<char*>(std::malloc(sz));
        std::memcpy(block, buf, n);
        block[n] = 0;
        if (m_nSize > 0) std::free(m_pText);
        m_pText = block;
        m_nSize = static_cast<int32_t>(sz);
        return;
    }
    moveShort(m_pText, buf, n);
    m_pText[n] = 0;
}

void variant::assign(const char* s, size_t n) {
    storeRendered(s, n);
    m_nKind = kString;
}

void variant::cat(const char* s, size_t n) {
    size_t cur = std::strlen(m_pText);
    size_t need = cur + n + 1;
    bool fits = need < 2 || (m_nSize == 0 ? need < QF_VARIANT_INLINE : need < static_cast<size_t>(m_nSize));
    if (!fits) {
        size_t sz = growSize(need);
        char* block = static_cast<char*>(std::malloc(sz));
        std::memcpy(block, m_pText, cur);
        std::memcpy(block + cur, s, n);  // s may lie in the old storage, still valid here
        block[cur + n] = 0;
        if (m_nSize > 0) std::free(m_pText);
        m_pText = block;
        m_nSize = static_cast<int32_t>(sz);
    } else {
        std::memmove(m_pText + cur, s, n);
        m_pText[cur + n] = 0;
    }
    m_nKind = kString;
}

void variant::cat(const char* s) {
    if (!s) return;
    cat(s, std::strlen(s));
}

void variant::renderWhole() {
    char buf[kNumBuf];
    size_t n = formatFixed(buf, m_dValue, 0);
    storeRendered(buf, n);
}

// ---------------------------------------------------------------- reading

const char* variant::text() {
    if (m_nKind == kString) return m_pText;
    char buf[kNumBuf];
    size_t n = m_nKind == kReal ? formatFixed(buf, m_dValue, 3) : formatInt(buf, truncInt(m_dValue));
    storeRendered(buf, n);
    return m_pText;
}

const char* variant::textF() {
    if (m_nKind == kString) return m_pText;
    char buf[kNumBuf];
    size_t n = formatFixed(buf, m_dValue, 6);
    storeRendered(buf, n);
    return m_pText;
}

const char* variant::str() {
    if (m_nKind != kString) m_pText[0] = 0;
    return m_pText;
}

int variant::len() const {
    if (m_nKind == kString) return static_cast<int>(std::strlen(m_pText));
    char buf[12];
    return static_cast<int>(formatInt(buf, truncInt(m_dValue)));
}

void variant::d(Host& host) const {
    char size[12];
    formatInt(size, m_nSize);
    if (m_nKind == kString) {
        std::string t = sj("【 文字列 】\n");
        t += m_pText;
        t += sj("\n【 確保サイズ：");
        t += size;
        t += sj(" 】");
        dialog(host, t, sj("variant：文字列"));
    } else {
        char buf[kNumBuf];
        formatFixed(buf, m_dValue, 6);
        std::string t = sj("【 数値 】\n");
        t += buf;
        t += sj("\n【 確保サイズ：");
        t += size;
        t += sj(" 】");
        dialog(host, t, sj("variant:数値"));
    }
}

// ---------------------------------------------------------------- converting

int variant::toInt() {
    if (m_nKind == kString) m_dValue = parseInt(m_pText);
    else m_dValue = truncInt(m_dValue);
    m_nKind = kInteger;
    return static_cast<int>(m_dValue);
}

double variant::toFloat() {
    if (m_nKind == kString) m_dValue = parseReal(m_pText);
    m_nKind = kReal;
    return m_dValue;
}

const char* variant::toStr() {
    if (m_nKind == kString) return m_pText;
    text();
    m_nKind = kString;
    return m_pText;
}

void variant::clear() {
    if (m_nSize > 0) std::memset(m_pText, 0, static_cast<size_t>(m_nSize));
    else std::memset(m_szInline, 0, 32);
}

// ---------------------------------------------------------------- assigning

variant& variant::operator=(const variant& v) {
    if (m_pText == v.m_pText) return *this;
    if (v.m_nKind != kString) {
        m_dValue = v.m_dValue;
        m_nKind = v.m_nKind;
    } else {
        assign(v.m_pText, std::strlen(v.m_pText));
    }
    return *this;
}

variant& variant::operator=(const char* s) {
    if (s) assign(s, std::strlen(s));
    return *this;
}

void variant::set(const char* a, const char* b) {
    if (!a && !b) return;
    std::string t;
    if (a) t += a;
    if (b) t += b;
    assign(t.data(), t.size());
}

variant& variant::operator+=(const variant& v) {
    if (isNumber() && v.isNumber()) {
        m_dValue += v.m_dValue;
        return *this;
    }
    if (v.m_nKind == kString) {
        cat(v.m_pText, std::strlen(v.m_pText));
    } else {
        char buf[kNumBuf];
        size_t n = formatFixed(buf, v.m_dValue, v.m_nKind == kReal ? 5 : 0);
        cat(buf, n);
    }
    return *this;
}

variant& variant::operator+=(int v) {
    if (isNumber()) {
        m_dValue += v;
    } else {
        char buf[12];
        size_t n = formatInt(buf, v);
        cat(buf, n);
    }
    return *this;
}

// ---------------------------------------------------------------- operators

variant variant::operator-() const {
    if (isNumber()) {
        variant r;
        r.setNumber(-m_dValue, m_nKind);
        return r;
    }
    return *this;
}

variant variant::operator+(variant& r) {
    if (isNumber() && r.isNumber()) {
        variant out;
        out.setNumber(m_dValue + r.m_dValue, m_nKind);
        return out;
    }
    if (isNumber()) renderWhole();
    if (r.isNumber()) r.renderWhole();
    variant out(m_pText);
    out.cat(r.m_pText);
    return out;
}

variant variant::operator+(const variant& r) const {
    variant a(*this), b(r);
    if (isNumber()) a.m_pText[0] = 0;  // copies of numbers start with an empty text anyway
    return a + b;
}

variant variant::operator-(const variant& r) const {
    if (isNumber() && r.isNumber()) {
        variant out;
        out.setNumber(m_dValue - r.m_dValue, m_nKind);
        return out;
    }
    return *this;
}

variant variant::operator*(const variant& r) const {
    if (isNumber() && r.isNumber()) {
        variant out;
        out.setNumber(m_dValue * r.m_dValue, m_nKind);
        return out;
    }
    return *this;
}

variant variant::operator/(const variant& r) const {
    if (!(isNumber() && r.isNumber())) return *this;
    variant out;
    if (m_nKind == kInteger && r.m_nKind == kInteger) {
        if (m_dValue == 0 || r.m_dValue == 0) return out;
        out.setNumber(truncInt(m_dValue / r.m_dValue), kInteger);
        return out;
    }
    if (m_dValue == 0 || r.m_dValue == 0) out.setNumber(0, m_nKind);
    else out.setNumber(m_dValue / r.m_dValue, m_nKind);
    return out;
}

variant variant::operator%(const variant& r) const {
    if (!(isNumber() && r.isNumber())) return *this;
    int32_t a = truncInt(m_dValue), b = truncInt(r.m_dValue);
    variant out;
    int32_t v = 0;
    if (a != 0 && b != 0 && !(b == -1)) v = a % b;  // x % -1 is 0 (and INT_MIN % -1 would trap)
    out.setNumber(v, m_nKind);
    return out;
}

int variant::operator==(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue == r.m_dValue;
    return compareText(m_pText, r.m_pText) == 0;
}
int variant::operator!=(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue != r.m_dValue;
    return compareText(m_pText, r.m_pText) != 0;
}
int variant::operator>(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue > r.m_dValue;
    return compareText(m_pText, r.m_pText) > 0;
}
int variant::operator<(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue < r.m_dValue;
    return compareText(m_pText, r.m_pText) < 0;
}
int variant::operator>=(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue >= r.m_dValue;
    return compareText(m_pText, r.m_pText) >= 0;
}
int variant::operator<=(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue <= r.m_dValue;
    return compareText(m_pText, r.m_pText) <= 0;
}
int variant::operator&&(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue != 0 && r.m_dValue != 0;
    return 0;
}
int variant::operator||(const variant& r) const {
    if (isNumber() && r.isNumber()) return m_dValue != 0 || r.m_dValue != 0;
    return 0;
}
int variant::operator&(const variant& r) const {
    if (isNumber() && r.isNumber()) return truncInt(m_dValue) & truncInt(r.m_dValue);
    return 0;
}
int variant::operator^(const variant& r) const {
    if (isNumber() && r.isNumber()) return truncInt(m_dValue) ^ truncInt(r.m_dValue);
    return 0;
}
int variant::operator|(const variant& r) const {
    if (isNumber() && r.isNumber()) return truncInt(m_dValue) | truncInt(r.m_dValue);
    return compareText(m_pText, r.m_pText);
}
int variant::operator<<(const variant& r) const {
    if (isNumber() && r.isNumber())
        return static_cast<int32_t>(static_cast<uint32_t>(truncInt(m_dValue)) << (truncInt(r.m_dValue) & 31));
    return 0;
}
int variant::operator>>(const variant& r) const {
    if (isNumber() && r.isNumber()) return truncInt(m_dValue) >> (truncInt(r.m_dValue) & 31);
    return 0;
}

variant variant::operator+(const char* s) {
    if (isNumber()) renderWhole();
    variant out(m_pText);
    out.cat(s);
    return out;
}

variant variant::operator+(int v) const {
    variant out;
    if (isNumber()) {
        out.setNumber(m_dValue + v, kInteger);
        return out;
    }
    out = *this;
    out += v;
    return out;
}

variant variant::operator-(int v) const {
    if (isNumber()) {
        variant out;
        out.setNumber(m_dValue - v, kInteger);
        return out;
    }
    return *this;
}

int variant::operator==(const char* s) const { return compareText(m_pText, s ? s : "") == 0; }
int variant::operator!=(const char* s) const { return compareText(m_pText, s ? s : "") != 0; }
int variant::operator==(int v) const { return isNumber() ? m_dValue == v : 0; }

std::string valueText(const variant& v) {
    variant copy(v);
    return copy.text();
}

}  // namespace qf
