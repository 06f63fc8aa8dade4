#include "render/BoardRenderer.h"
