#include "forest/tree_parameters.h"
#include "util/number.h"
#include "util/text.h"
#include "util/atomic_file.h"

#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <fstream>
#include <vector>

// [SECTION] Piecewise-linear bounds

float PiecewiseLinear::operator()(float t) const
{
    if (t <= x1) return slope1 * t + intercept1;
    if (t <= x2) return slope2 * t + intercept2;
    return slope3 * t + intercept3;
}

static float clampUnit(float v)
{
    // Written as a negated test so that a NaN from a file lands on 0.
    if (!(v >= 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

PiecewiseLinear PiecewiseLinear::fromPoints(float x1, float x2, const float y[4])
{
    PiecewiseLinear f;
    f.x1 = clampUnit(x1);
    f.x2 = clampUnit(x2);
    if (f.x2 < f.x1) f.x2 = f.x1;
    // A segment of zero width keeps its far value as intercept so that the
    // control values can still be recovered from the evaluation form.
    f.slope1 = f.x1 > 0.0f ? (y[1] - y[0]) / f.x1 : 0.0f;
    f.intercept1 = y[0];
    if (f.x2 > f.x1) {
        f.slope2 = (y[2] - y[1]) / (f.x2 - f.x1);
        f.intercept2 = y[1] - f.x1 * f.slope2;
    } else {
        f.slope2 = 0.0f;
        f.intercept2 = y[1];
    }
    if (f.x2 < 1.0f) {
        f.slope3 = (y[3] - y[2]) / (1.0f - f.x2);
        f.intercept3 = y[2] - f.x2 * f.slope3;
    } else {
        f.slope3 = 0.0f;
        f.intercept3 = y[3];
    }
    return f;
}

void PiecewiseLinear::controlValues(float y[4]) const
{
    y[0] = intercept1;
    y[1] = slope2 * x1 + intercept2;
    y[2] = x2 < 1.0f ? slope3 * x2 + intercept3 : slope2 * x2 + intercept2;
    y[3] = slope3 + intercept3;
}

ParameterCurve flatCurve(float rangeMin, float rangeMax, float a, float b)
{
    ParameterCurve c;
    c.rangeMin = rangeMin;
    c.rangeMax = rangeMax;
    const float ya = rangeMin + (rangeMax - rangeMin) * a;
    const float yb = rangeMin + (rangeMax - rangeMin) * b;
    const float va[4] = {ya, ya, ya, ya};
    const float vb[4] = {yb, yb, yb, yb};
    c.boundA = PiecewiseLinear::fromPoints(1.0f / 3.0f, 2.0f / 3.0f, va);
    c.boundB = PiecewiseLinear::fromPoints(1.0f / 3.0f, 2.0f / 3.0f, vb);
    return c;
}

TreeParameters defaultTreeParameters()
{
    TreeParameters p;
    p.branchCount = flatCurve(0.0f, 10.0f, 0.25f, 0.4f);
    p.subBranchDiameter = flatCurve(0.1f, 0.9f, 0.4f, 0.8f);
    p.angleNoise = flatCurve(-1.0f, 1.0f, 0.4f, 0.6f);
    p.branchLength = flatCurve(0.05f, 0.95f, 0.3f, 0.5f);
    p.branchCone = flatCurve(0.001f, 0.999f, 0.5f, 0.7f);
    p.leaveCount = flatCurve(0.0f, 3.0f, 0.2f, 0.5f);
    p.leaveSize = flatCurve(0.1f, 20.0f, 0.02f, 0.05f);
    p.leavePosition = flatCurve(-2.0f, 4.0f, 0.35f, 0.5f);
    p.leaveTexture = flatCurve(0.0f, 14.9f, 0.0f, 0.3f);
    return p;
}

// [SECTION] Seed line

std::string formatSeedLine(uint32_t seed)
{
    float f;
    std::memcpy(&f, &seed, sizeof f);
    char text[64];
    if (std::isnan(f)) {
        // No decimal number is a NaN: keep the sign and payload explicitly.
        std::snprintf(text, sizeof text, "%snan(0x%" PRIx32 ")", (seed >> 31) ? "-" : "",
                      seed & 0x7FFFFFu);
    } else {
        // The shortest text that brings the same float back.
        const auto result = std::to_chars(text, text + sizeof text, f);
        *result.ptr = '\0';
    }
    return text;
}

bool parseSeedLine(const char* line, uint32_t& seed)
{
    const char* s = line;
    while (*s == ' ' || *s == '\t') ++s;
    bool negative = false;
    const char* n = s;
    if (*n == '-' || *n == '+') negative = *n++ == '-';
    if (strncasecmp(n, "nan(", 4) == 0) {
        char* end = nullptr;
        errno = 0;
        const unsigned long long payload = std::strtoull(n + 4, &end, 0);
        if (end == n + 4 || *end != ')' || errno != 0 || payload == 0 || payload > 0x7FFFFFull)
            return false;
        seed = (negative ? 0x80000000u : 0u) | 0x7F800000u | static_cast<uint32_t>(payload);
        return true;
    }
    float f;
    if (!util::parseNumber(s, f)) return false;
    std::memcpy(&seed, &f, sizeof seed);
    return true;
}

// [SECTION] Reading

namespace {

/// The file's lines, consumed one at a time. After the first line that does
/// not convert every further conversion fails too, as a scanning reader would.
class LineReader {
public:
    explicit LineReader(std::ifstream& in)
    {
        std::string line;
        while (std::getline(in, line)) lines_.push_back(line);
    }
    bool readInt(int32_t& v)
    {
        const char* s = next();
        if (!s) return false;
        int32_t x;
        if (!util::parseNumber(s, x)) return fail();
        v = x;
        return true;
    }
    bool readFloat(float& v)
    {
        const char* s = next();
        if (!s) return false;
        float x;
        // Only the seed line may hold an infinity or a NaN.
        if (!util::parseNumber(s, x) || !std::isfinite(x)) return fail();
        v = x;
        return true;
    }
    bool readSeed(uint32_t& v)
    {
        const char* s = next();
        if (!s) return false;
        return parseSeedLine(s, v) || fail();
    }

private:
    const char* next()
    {
        if (failed_ || pos_ >= lines_.size()) return nullptr;
        return lines_[pos_++].c_str();
    }
    bool fail() { failed_ = true; return false; }

    std::vector<std::string> lines_;
    size_t pos_ = 0;
    bool failed_ = false;
};

bool readBound(LineReader& r, float rangeMin, float rangeMax, PiecewiseLinear& out)
{
    float x1, x2, n[4];
    if (!(r.readFloat(x1) && r.readFloat(x2) && r.readFloat(n[0]) && r.readFloat(n[1])
          && r.readFloat(n[2]) && r.readFloat(n[3])))
        return false;
    float y[4];
    for (int k = 0; k < 4; ++k) y[k] = rangeMin + (rangeMax - rangeMin) * n[k];
    out = PiecewiseLinear::fromPoints(x1, x2, y);
    return true;
}

void readCurve(LineReader& r, ParameterCurve& c)
{
    float lo, hi;
    PiecewiseLinear a;
    if (!(r.readFloat(lo) && r.readFloat(hi) && readBound(r, lo, hi, a))) return;
    c.rangeMin = lo;
    c.rangeMax = hi;
    c.boundA = a;
    PiecewiseLinear b;
    if (readBound(r, lo, hi, b)) c.boundB = b;
}

} // namespace

bool loadTreeParameters(TreeParameters& p, const std::string& fileName)
{
    std::ifstream in(fileName);
    if (!in) return false;
    LineReader r(in);
    if (!(r.readInt(p.reserved1) && r.readInt(p.reserved2) && r.readSeed(p.seed)
          && r.readFloat(p.maxAngle) && r.readFloat(p.gravity) && r.readFloat(p.diameter)
          && r.readFloat(p.length)))
        return true;
    for (ParameterCurve* c : {&p.branchCount, &p.subBranchDiameter, &p.angleNoise,
                              &p.branchLength, &p.branchCone})
        readCurve(r, *c);
    if (!(r.readFloat(p.noise) && r.readFloat(p.noiseP) && r.readInt(p.leaveMode)))
        return true;
    for (ParameterCurve* c : {&p.leaveCount, &p.leaveSize, &p.leavePosition, &p.leaveTexture})
        readCurve(r, *c);
    r.readFloat(p.leaveStretch);
    r.readInt(p.truncTexture);
    r.readFloat(p.appearSpeed);
    r.readInt(p.useLodLeaves);
    r.readInt(p.rootCount);
    r.readFloat(p.rootLength);
    r.readFloat(p.rootHeight);
    r.readInt(p.sampleSize);
    for (float& v : p.sampleMin) r.readFloat(v);
    for (float& v : p.sampleMax) r.readFloat(v);
    return true;
}

// [SECTION] Writing

static void line(FILE* f, float v) { std::fprintf(f, "%s\n", util::fixedText(v).c_str()); }
static void line(FILE* f, int32_t v) { std::fprintf(f, "%d\n", v); }

static void writeBound(FILE* f, const PiecewiseLinear& b, float rangeMin, float rangeMax)
{
    float y[4];
    b.controlValues(y);
    const float span = rangeMax - rangeMin;
    line(f, b.x1);
    line(f, b.x2);
    for (float v : y) line(f, span != 0.0f ? (v - rangeMin) / span : 0.0f);
}

static void writeCurve(FILE* f, const ParameterCurve& c)
{
    line(f, c.rangeMin);
    line(f, c.rangeMax);
    writeBound(f, c.boundA, c.rangeMin, c.rangeMax);
    writeBound(f, c.boundB, c.rangeMin, c.rangeMax);
}

bool saveTreeParameters(const TreeParameters& p, const std::string& fileName)
{
    // Written beside the old file and renamed over it, so a failed save keeps it.
    std::string error;
    const bool saved = util::writeFileAtomically(fileName, [&p](FILE* f) {
        line(f, p.reserved1);
        line(f, p.reserved2);
        std::fprintf(f, "%s\n", formatSeedLine(p.seed).c_str());
        for (float v : {p.maxAngle, p.gravity, p.diameter, p.length}) line(f, v);
        for (const ParameterCurve* c : {&p.branchCount, &p.subBranchDiameter, &p.angleNoise,
                                        &p.branchLength, &p.branchCone})
            writeCurve(f, *c);
        line(f, p.noise);
        line(f, p.noiseP);
        line(f, p.leaveMode);
        for (const ParameterCurve* c : {&p.leaveCount, &p.leaveSize, &p.leavePosition, &p.leaveTexture})
            writeCurve(f, *c);
        line(f, p.leaveStretch);
        line(f, p.truncTexture);
        line(f, p.appearSpeed);
        line(f, p.useLodLeaves);
        line(f, p.rootCount);
        line(f, p.rootLength);
        line(f, p.rootHeight);
        line(f, p.sampleSize);
        for (float v : p.sampleMin) line(f, v);
        for (float v : p.sampleMax) line(f, v);
        return !std::ferror(f);
    }, error);
    if (!saved) std::printf("Save Tree: cannot write %s (%s)\n", fileName.c_str(), error.c_str());
    return saved;
}
