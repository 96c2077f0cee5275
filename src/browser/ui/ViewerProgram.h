#pragma once

// The viewer program as a whole: "mireva [-f] [-s FILE] [PATH]" opens PATH (a
// folder, a picture, a place inside an archive) in the running copy, or
// starts one with its window; "--snapshot OUT.png [--window-size WxH]" opens
// PATH as at start, waits until the view has settled, saves the window's
// picture and ends, without a display when none is present; "--run A,B"
// runs those actions first, and the window caption and the page label are
// printed on two lines.

// Runs the viewer with the process's arguments; the exit code.
int RunViewer(int argc, char** argv);
