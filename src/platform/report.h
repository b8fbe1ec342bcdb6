// Failure reports: message boxes ("dialog") and debugger-output lines ("dbg").
// Every text is Shift-JIS. Failures are reported, never thrown.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qf {

class Host;

// Message box with the caption "dialog".
void dialog(Host& host, std::string_view text);
// The number as "%d" under the caption "dialog".
void dialog(Host& host, int number);
// Message box with the given caption.
void dialog(Host& host, std::string_view text, std::string_view caption);
// "%s,%d" of the caption and the number, under that caption.
void dialog(Host& host, std::string_view caption, int number);
// Integers one per line ("%d\n") under the caption "dialog_va_int()".
void dialogVaInt(Host& host, std::initializer_list<int> numbers);

// Debugger output of the text as it is.
void dbg(Host& host, std::string_view text);
// "【label】text".
void dbg(Host& host, std::string_view label, std::string_view text);
// "【label】number" with the number formatted "%d".
void dbg(Host& host, std::string_view label, int number);

}  // namespace qf
