// UtilityApp: the program's application object. Its InitInstance prepares the process (code
// page, OLE, platform record), runs the main window modally with the command-line package
// pending, and returns FALSE so that the program ends when the window closes.
#pragma once

#include "platform/appframework/framework.h"

class UtilityApp : public CWinApp {
public:
    UtilityApp();
    /// The program's start; always FALSE.
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
