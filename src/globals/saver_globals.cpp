#include "globals/saver_globals.h"

SaverGlobals saver;
