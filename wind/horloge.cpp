#include "wind/horloge.h"

namespace date {
double horloge = 0.0;
}
