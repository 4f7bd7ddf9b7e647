#pragma once
/// The shared description of a tree kind and its ".arb" text file.
#include <cstdint>
#include <string>

/// Three straight segments joined at x1 <= x2, in evaluation form.
struct PiecewiseLinear {
    float x1 = 1.0f / 3.0f;
    float x2 = 2.0f / 3.0f;
    float slope1 = 0, slope2 = 0, slope3 = 0;
    float intercept1 = 0, intercept2 = 0, intercept3 = 0;

    /// Value at t.
    float operator()(float t) const;

    /// Builds the function through (0, y0), (x1, y1), (x2, y2), (1, y3). Break
    /// points are clamped into [0, 1] with x1 <= x2; an empty segment gets slope 0.
    static PiecewiseLinear fromPoints(float x1, float x2, const float y[4]);

    /// The four control values y0..y3 the function was built from.
    void controlValues(float y[4]) const;
};

/// Two bounds of a value drawn as a function of t in [0, 1], and the value
/// range the bounds are edited in (0 = rangeMin, 1 = rangeMax).
struct ParameterCurve {
    PiecewiseLinear boundA;
    PiecewiseLinear boundB;
    float rangeMin = 0;
    float rangeMax = 1;
};

/// Everything that describes one kind of tree; each tree adds its own
/// seed, diameter and length (the forest copies them in before growing).
struct TreeParameters {
    int32_t reserved1 = 40;     ///< stored and loaded, not used
    int32_t reserved2 = 0;      ///< stored and loaded, not used
    uint32_t seed = 0;          ///< seed of the tree being grown
    float maxAngle = 1.0f;      ///< extra opening of side branches, quarter turns
    float gravity = 0.01f;      ///< downward bending of branches
    float diameter = 2.0f;      ///< trunk diameter at the base
    float length = 50.0f;       ///< length scale of the branches
    ParameterCurve branchCount;       ///< "Branch count"
    ParameterCurve subBranchDiameter; ///< "SubBranch diameter"
    ParameterCurve angleNoise;        ///< "Angle noise"
    ParameterCurve branchLength;      ///< "Branch length"
    ParameterCurve branchCone;        ///< "Branch cone"
    float noise = 1.5f;         ///< bark roughness amplitude
    float noiseP = 0.65f;       ///< bark roughness persistence
    int32_t leaveMode = 0;      ///< 0 = bare, 1..3 = leaf styles
    ParameterCurve leaveCount;    ///< "Leave count"
    ParameterCurve leaveSize;     ///< "Leave size"
    ParameterCurve leavePosition; ///< "Leave position"
    ParameterCurve leaveTexture;  ///< "Leave texture"
    float leaveStretch = 1.0f;  ///< leaf length over leaf width
    int32_t truncTexture = 0;   ///< bark picture slot 0..9
    float appearSpeed = 5.0f;   ///< how fast leaves fade in
    int32_t useLodLeaves = 1;   ///< 1 = substitute leaves for pruned twigs
    int32_t rootCount = 0;      ///< roots at the trunk base, 0 = none
    float rootLength = 5.0f;
    float rootHeight = 3.0f;
    int32_t sampleSize = 127;                      ///< statistic of sampled trees
    float sampleMin[3] = {-100.0f, -100.0f, 0.0f}; ///< mean lower bounding-box corner
    float sampleMax[3] = {100.0f, 100.0f, 300.0f}; ///< mean upper bounding-box corner
};

/// The compiled-in defaults (seed 0: the forest draws the real one).
TreeParameters defaultTreeParameters();

/// A curve over [rangeMin, rangeMax] whose bounds are the constant normalised
/// values `a` and `b`.
ParameterCurve flatCurve(float rangeMin, float rangeMax, float a, float b);

/// Reads `fileName` into `p`; groups that do not convert stop the reading and
/// leave the rest as it was. Returns false (nothing changed) when the file
/// cannot be opened.
bool loadTreeParameters(TreeParameters& p, const std::string& fileName);

/// Writes `p` in the 150-line format, through a temporary file that replaces
/// `fileName` only once complete. On failure prints one line naming the file
/// and the reason, keeps any old file and returns false.
bool saveTreeParameters(const TreeParameters& p, const std::string& fileName);

/// The seed line's text: a float whose bit pattern is `seed`, written so that
/// `parseSeedLine` gives the same bits back (NaN payloads included).
std::string formatSeedLine(uint32_t seed);

/// Reads a seed line; false when it holds no number.
bool parseSeedLine(const char* line, uint32_t& seed);
