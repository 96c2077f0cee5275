#pragma once

// The texts users see are written in Japanese in the code and shown in the
// interface language through Tx. Until a translator is installed Tx gives
// the Japanese text itself, which is what tests and the Japanese interface
// see. A text with parameters is translated as a template ("%1", "%d")
// before it is filled in, never after.

#include <initializer_list>
#include <string>
#include <string_view>

// Gives the text of japanese in the interface language: a pointer that
// stays valid for the life of the process, japanese itself when there is no
// translation. Any thread.
const char* Tx(const char* japanese);
std::string Tx(std::string_view japanese);

// pattern with "%1" to "%9" replaced by the values in that order, for a
// template translated before it is filled in (a file name must never pass
// through Tx). A "%" before anything else, or before a number with no
// value, stays as it is.
std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values);

// The function that finds a translation, or null for none. Installed once
// at start-up, before any thread is started, and only read afterwards: the
// one process-wide setting of the program (see docs/architecture.md). The
// function must be callable from any thread.
using TTranslateFunction = const char* (*)(const char* japanese);
void InstallTranslator(TTranslateFunction translate);
