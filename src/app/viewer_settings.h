#pragma once
// The settings record lives with the options dialog, which the main window depends on.
#include "options/viewer_settings.h"
