// mireva: the viewer. Everything it does lives in the browser's window code;
// this file only enters it, so that it needs no Qt of its own.

#include "browser/ui/ViewerProgram.h"

int main(int argc, char** argv)
{
    return RunViewer(argc, argv);
}
