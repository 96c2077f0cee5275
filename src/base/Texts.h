#pragma once

// The texts users see are written in Japanese in the code and shown in the
// interface language through Tx. Until a translator is installed Tx gives
// the Japanese text itself, which is what tests and the Japanese interface
// see. A text with parameters is translated as a template ("%1", "%d")
// before it is filled in, never after.

#include <string>
#include <string_view>

// Gives the text of japanese in the interface language: a pointer that
// stays valid for the life of the process, japanese itself when there is no
// translation. Any thread.
const char* Tx(const char* japanese);
std::string Tx(std::string_view japanese);

// The function that finds a translation, or null for none. Installed once
// at start-up, before any thread is started, and only read afterwards: the
// one process-wide setting of the program (see docs/architecture.md). The
// function must be callable from any thread.
using TTranslateFunction = const char* (*)(const char* japanese);
void InstallTranslator(TTranslateFunction translate);
