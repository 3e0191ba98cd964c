#pragma once

#include "main_window/frm_main.h"
#include "platform/posix/mount_watch.h"
#include "platform/posix/posix_platform.h"
#include "toolkit/qt/qt_message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"
#include "volume_queries/mod_volscope.h"

// The program's parts as it runs them: the Qt toolkit with real message boxes, the Linux system
// and the watch of its mount table, the shared module and the main window, not yet loaded or
// shown. Create it after the
// QtApplication; the program, its screenshot tool and the start-up benchmark share it.
// Members are built in the order they are declared, each after what it refers to.
struct VolscopeProgram {
    toolkit::qt::QtMessageBoxes messageBoxes;
    platform::PosixPlatform os;
    platform::posix::MountWatch volumeChanges;
    toolkit::qt::QtToolkit toolkit{messageBoxes, os, volumeChanges, "Volscope"};
    volume_queries::ModVolscope modVolscope{os};
    main_window::FrmMain frmMain{toolkit, modVolscope};
};
