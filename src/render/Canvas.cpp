#include "render/Canvas.h"
