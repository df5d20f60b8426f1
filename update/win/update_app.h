#pragma once
#include <windows.h>

namespace update {

// The program: common controls, the command line, the dialog run modally.
class CUpDateApp {
public:
    BOOL InitInstance();
};

}  // namespace update
