#pragma once
/// The simulation date of the wind.

namespace date {
/// The date, in date units: 0 at start, set back to 0 by windInit and
/// advanced only by windUpdate.
extern double horloge;
}
