#include "app/overlay_state.h"

bool OverlayState::toggleKeys()
{
    showKeys = !showKeys;
    showPolygons = showCost = false;
    overlayShown = showKeys;
    return false;
}

bool OverlayState::togglePolygons()
{
    showPolygons = !showPolygons;
    showCost = showKeys = false;
    overlayShown = showPolygons;
    return showPolygons;
}

bool OverlayState::toggleCost()
{
    showCost = !showCost;
    showPolygons = showKeys = false;
    overlayShown = showCost;
    return false;
}
