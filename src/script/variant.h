// The script value. qf::variant is the plug-in layout qf_variant
// (include/quillfen/plugin.h) with its operations.
#pragma once

#include <quillfen/plugin.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/nil.h"

namespace qf {

class Host;

// Truncation of a double toward zero keeping the low 32 bits of the 64-bit result
// (NaN and magnitudes beyond the 64-bit range give 0, as the x86 conversion does).
inline int32_t truncInt(double d) {
    if (!(d > -9.2233720368547758e18 && d < 9.2233720368547758e18)) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(d))));
}

// Decimal integer reading of C atoi on the engine's platform: leading white space,
// optional sign, digits; no digits gives 0; saturates at the 32-bit range.
int32_t parseInt(const char* s);
// Real reading: leading white space, optional sign, digits, optional fraction and
// exponent; no number gives 0.0.
double parseReal(const char* s);

// The engine's number formats. Each writes into buf (at least kNumBuf bytes)
// and returns the length.
constexpr size_t kNumBuf = 400;
size_t formatInt(char* buf, int32_t value);        // "%d"
size_t formatFixed(char* buf, double value, int precision);  // "%.Nf"

// "%d" of an int in a small buffer held by value (the engine's shared scratch
// buffer, made safe).
struct IntText {
    char buf[12];
    const char* c_str() const { return buf; }
    operator const char*() const { return buf; }
};
IntText intText(int value);

class variant : public qf_variant {
public:
    static constexpr int32_t kString = 1, kInteger = 2, kReal = 6;

    variant();
    variant(const char* text);
    variant(std::string_view text);
    variant(const std::string& text) : variant(std::string_view(text)) {}
    variant(int value);
    variant(double value);
    variant(const variant& other);
    variant(variant&& other) noexcept;
    ~variant();

    // --- reading
    const char* text();                // numbers render "%d" / "%0.3f" into their own text
    const char* textF();               // numbers render "%f"
    const char* str();                 // the text; a number's text is emptied first
    const char* raw() const { return m_pText; }  // the text buffer as it is
    double num() const {
        if (m_nKind == kString) return parseInt(m_pText);
        if (m_nKind == kReal) return m_dValue;
        return truncInt(m_dValue);
    }
    int len() const;
    int size() const { return m_nSize; }
    int type() const { return m_nKind; }
    bool isString() const { return m_nKind == kString; }
    bool isNumber() const { return (m_nKind & 2) != 0; }
    bool isReal() const { return m_nKind == kReal; }
    void d(Host& host) const;          // debug dump in a message box

    // --- converting in place
    int toInt();
    double toFloat();
    const char* toStr();
    void clear();

    // --- assigning
    variant& operator=(const variant& v);
    variant& operator=(const char* s);
    variant& operator=(std::string_view s) { assign(s.data(), s.size()); return *this; }
    variant& operator=(const std::string& s) { assign(s.data(), s.size()); return *this; }
    variant& operator=(int v) { m_dValue = v; m_nKind = kInteger; return *this; }
    variant& operator=(double v) { m_dValue = v; m_nKind = kReal; return *this; }
    void set(const char* a, const char* b);
    void cat(const char* s);
    void cat(const char* s, size_t n);
    variant& operator+=(const variant& v);
    variant& operator+=(const char* s) { cat(s); return *this; }
    variant& operator+=(int v);

    // The text becomes the n bytes at s (which may lie inside this value's own
    // storage); kind string.
    void assign(const char* s, size_t n);
    // Sets a number without touching the text.
    void setNumber(double v, int32_t kind) { m_dValue = v; m_nKind = kind; }
    // Growth rule: makes room for len1 + len2 bytes and the terminating zero.
    void reserve(size_t len1, size_t len2);
    void swap(variant& other) noexcept;
    // Renders a number into its own text with "%.0f" (the "%-.0f" of the operators).
    void renderWhole();

    // --- operators
    variant operator-() const;
    variant operator+(variant& r);       // number operands keep their rendered text
    variant operator+(const variant& r) const;
    variant operator-(const variant& r) const;
    variant operator*(const variant& r) const;
    variant operator/(const variant& r) const;
    variant operator%(const variant& r) const;
    int operator==(const variant& r) const;
    int operator!=(const variant& r) const;
    int operator>(const variant& r) const;
    int operator<(const variant& r) const;
    int operator>=(const variant& r) const;
    int operator<=(const variant& r) const;
    int operator&&(const variant& r) const;
    int operator||(const variant& r) const;
    int operator&(const variant& r) const;
    int operator^(const variant& r) const;
    int operator|(const variant& r) const;
    int operator<<(const variant& r) const;
    int operator>>(const variant& r) const;
    variant operator+(const char* s);
    variant operator+(int v) const;
    variant operator-(int v) const;
    int operator==(const char* s) const;
    int operator!=(const char* s) const;
    int operator==(int v) const;

private:
    void initEmpty() {
        m_pDispatch = &kDispatch;
        m_dValue = 0;
        m_szInline[0] = 0;
        m_pText = m_szInline;
        m_nSize = 0;
        m_nKind = kInteger;
    }
    void initText(const char* s, size_t n);
    void storeRendered(const char* buf, size_t n);
    static const qf_variant_dispatch kDispatch;
};

static_assert(sizeof(variant) == sizeof(qf_variant), "variant must be the plug-in layout");

// Byte-wise (unsigned) comparison of two zero-terminated texts, as strcmp.
int compareText(const char* a, const char* b);

// The value as text: strings as they are, numbers as variant::text() renders them.
std::string valueText(const variant& v);
// The value of an argument that was left out.
inline bool isNilValue(const variant& v) { return v.isNumber() && v.num() == static_cast<double>(kNil); }

}  // namespace qf
