#include "world/DisplaySettings.h"

DisplaySettings displaySettings;
