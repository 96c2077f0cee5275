#pragma once

// Makes the program's QApplication without letting Qt end the process its
// own way. When Qt cannot reach the window system (no DISPLAY or
// WAYLAND_DISPLAY, or a display that refuses the connection) it aborts from
// inside the QApplication constructor after a page of messages about
// platform plug-ins, leaving behind whatever the program held. Here the
// caller is told instead: it releases what it holds, says so in one line,
// and the process ends with exit code 1.

#include <QApplication>
#include <functional>
#include <memory>
#include <string>

// What to say when no display can be opened: "cannot open the display" and
// the display the environment names ("cannot open the display \":1\"").
// getenv looks up the environment.
std::string NoDisplayText(const std::function<const char*(const char*)>& getenv);

// Constructs the QApplication; user-interface thread, once. If the display
// cannot be opened, noDisplay(NoDisplayText(...)) runs on this thread and
// the process then ends at once with exit code 1 (nothing returns). Qt's
// messages while it starts are held back, and passed on only when it
// started.
std::unique_ptr<QApplication> StartGuiApplication(int& argc, char** argv,
                                                  const std::function<void(const std::string& text)>& noDisplay);
