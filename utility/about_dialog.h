// AboutDialog: the About box (template 100), opened from the main window's system menu.
#pragma once

#include "platform/appframework/framework.h"

class AboutDialog : public CDialog {
public:
    AboutDialog();
    ~AboutDialog() override;

    DECLARE_MESSAGE_MAP()
};
