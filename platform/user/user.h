// The window system in one include: windows, messages, painting, hooks, menus, cursors and
// icons, dialogs, controls and message boxes.
#pragma once

#include "platform/user/controls.h"
#include "platform/user/cursor.h"
#include "platform/user/dialog.h"
#include "platform/user/hooks.h"
#include "platform/user/menu.h"
#include "platform/user/message.h"
#include "platform/user/messagebox.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
