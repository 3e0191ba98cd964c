#pragma once

#include "main_window/frm_main.h"
#include "platform/win32/win32_platform.h"
#include "toolkit/win32/win32_message_boxes.h"
#include "toolkit/win32/win32_toolkit.h"
#include "volume_queries/mod_volscope.h"

// The program's parts as it runs them on Windows: the Win32 toolkit with real message boxes,
// the Windows system, the shared module and the main window, not yet loaded or shown. The
// program, its screenshot tool and the benchmarks share it. Members are built in the order they
// are declared, each after what it refers to.
struct VolscopeProgram {
    toolkit::win32::Win32MessageBoxes messageBoxes;
    platform::Win32Platform os;
    toolkit::win32::Win32Toolkit toolkit{messageBoxes, os, "Volscope"};
    volume_queries::ModVolscope modVolscope{os};
    main_window::FrmMain frmMain{toolkit, modVolscope};
};
