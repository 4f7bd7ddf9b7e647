#pragma once
/// The viewer's display flags: which of the three text overlays is on, and
/// the two grass texture inspections. At most one overlay shows at a time.

class OverlayState {
public:
    bool overlayShown = false;      ///< one of the three overlays is on
    bool showPolygons = false;      ///< polygon count and frame rate (F5)
    bool showCost = false;          ///< cost line (F6)
    bool showKeys = false;          ///< list of useful keys (F1)
    bool inspectTexture2D5 = false; ///< grass 2.5D texture overlay (F9)
    bool inspectTexture2D = false;  ///< grass 2D texture overlay (F10)

    /// F1, F5 and F6: toggle their overlay and switch the other two off.
    /// Each returns whether the viewer's frame-rate text is to be shown.
    bool toggleKeys();
    bool togglePolygons();   ///< see toggleKeys
    bool toggleCost();       ///< see toggleKeys
};
