#include "utility/about_dialog.h"

#include "utility/res/resource.h"

BEGIN_MESSAGE_MAP(AboutDialog, CDialog)
END_MESSAGE_MAP()

AboutDialog::AboutDialog() : CDialog(IDD_ABOUTBOX) {}

AboutDialog::~AboutDialog() = default;
