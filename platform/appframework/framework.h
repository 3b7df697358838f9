// The application framework in one include.
#pragma once

#include "platform/appframework/application.h"
#include "platform/appframework/dialog.h"
#include "platform/appframework/drawing.h"
#include "platform/appframework/text.h"
#include "platform/appframework/wnd.h"
