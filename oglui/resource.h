#pragma once
/// Typed style resources of the widgets, grouped in branches that inherit from
/// a parent branch, and the resource file that assigns their values.
///
/// Widget kinds declare their branches and resources in code; the file
/// (one "branch.resource value" per line) is read after the declarations.
/// Everything here is GL-free: a texture resource only holds a file name.
#include <memory>
#include <string>
#include <utility>
#include <vector>

/// A colour with channels in [0, 1].
struct OGLColor {
    float r = 0, g = 0, b = 0, a = 0;
};

/// One typed resource of a branch. An unset value means "take the resource of
/// the same name and kind in the parent branch".
class OGLIResource {
public:
    /// The value kinds a resource may have.
    enum Kind { TEXTURE, FLOAT, INT, ENUM, COLOR };

    OGLIResource(std::string name, std::string branch, Kind kind)
        : m_pName(std::move(name)), m_pBranch(std::move(branch)), m_pKind(kind) {}
    virtual ~OGLIResource() = default;

    /// The resource's name within its branch.
    const std::string& name() const { return m_pName; }
    /// The branch it belongs to.
    const std::string& branch() const { return m_pBranch; }
    /// Its value kind.
    Kind kind() const { return m_pKind; }
    /// False when the value is the unset marker.
    virtual bool isSet() const = 0;
    /// Gives the value the unset marker.
    virtual void unset() = 0;
    /// Reads the value from `text` (the rest of a file line, blanks skipped,
    /// not "!"). Returns the warning to print, empty when the text was read.
    virtual std::string parse(const std::string& text) = 0;

private:
    std::string m_pName;
    std::string m_pBranch;
    Kind m_pKind;
};

/// A picture file name; the picture is loaded by the drawing layer when
/// first used. Unset: no file.
class OGLIResourceTexture : public OGLIResource {
public:
    OGLIResourceTexture(std::string name, std::string branch, std::string fileName = "")
        : OGLIResource(std::move(name), std::move(branch), TEXTURE), m_pFile(std::move(fileName)) {}
    bool isSet() const override { return !m_pFile.empty(); }
    void unset() override { m_pFile.clear(); m_pFailed = false; }
    std::string parse(const std::string& text) override;
    /// The picture's file name, empty for none.
    const std::string& value() const { return m_pFile; }
    /// The picture's GL texture, loaded on the first call (needs a current
    /// context); 0, with one warning printed, when it cannot be loaded.
    unsigned int textureId() const;

private:
    std::string m_pFile;
    mutable bool m_pFailed = false;
};

/// A float. Unset marker: −1.70141e38.
class OGLIResourceFloat : public OGLIResource {
public:
    /// The unset marker.
    static constexpr float UNSET = -1.70141e38f;
    OGLIResourceFloat(std::string name, std::string branch, float value = UNSET)
        : OGLIResource(std::move(name), std::move(branch), FLOAT), m_pValue(value) {}
    bool isSet() const override { return m_pValue != UNSET; }
    void unset() override { m_pValue = UNSET; }
    std::string parse(const std::string& text) override;
    /// The stored value (the marker when unset).
    float value() const { return m_pValue; }

private:
    float m_pValue;
};

/// A 32-bit integer. Unset marker: the smallest int32.
class OGLIResourceInt : public OGLIResource {
public:
    /// The unset marker.
    static constexpr int UNSET = -2147483647 - 1;
    OGLIResourceInt(std::string name, std::string branch, int value = UNSET)
        : OGLIResource(std::move(name), std::move(branch), INT), m_pValue(value) {}
    bool isSet() const override { return m_pValue != UNSET; }
    void unset() override { m_pValue = UNSET; }
    std::string parse(const std::string& text) override;
    /// The stored value (the marker when unset).
    int value() const { return m_pValue; }

private:
    int m_pValue;
};

/// One code of a table of (code, name) pairs. Unset marker: −1.
class OGLIResourceEnum : public OGLIResource {
public:
    /// The (code, name) pairs an enumeration accepts.
    using Table = std::vector<std::pair<int, std::string>>;
    OGLIResourceEnum(std::string name, std::string branch, Table table, bool ignoreCase, int value = -1)
        : OGLIResource(std::move(name), std::move(branch), ENUM), m_pTable(std::move(table)),
          m_pIgnoreCase(ignoreCase), m_pValue(value) {}
    bool isSet() const override { return m_pValue != -1; }
    void unset() override { m_pValue = -1; }
    std::string parse(const std::string& text) override;
    /// The stored code (−1 when unset).
    int value() const { return m_pValue; }
    /// The accepted names.
    const Table& table() const { return m_pTable; }

private:
    Table m_pTable;
    bool m_pIgnoreCase;
    int m_pValue;
};

/// A colour. Unset marker: alpha −1.
class OGLIResourceColor : public OGLIResource {
public:
    OGLIResourceColor(std::string name, std::string branch, OGLColor value = {0, 0, 0, -1})
        : OGLIResource(std::move(name), std::move(branch), COLOR), m_pValue(value) {}
    bool isSet() const override { return m_pValue.a != -1; }
    void unset() override { m_pValue.a = -1; }
    std::string parse(const std::string& text) override;
    /// The stored colour (alpha −1 when unset).
    const OGLColor& value() const { return m_pValue; }

private:
    OGLColor m_pValue;
};

/// The border styles of buttons and scroll bars.
enum OGLBorder { OGL_BORDER_DARK = 0, OGL_BORDER_IN = 1, OGL_BORDER_OUT = 2, OGL_BORDER_LIGHT = 3, OGL_BORDER_NONE = 4 };

/// The (code, name) table of the border styles, compared without regard to case.
const OGLIResourceEnum::Table& oglBorderTable();

/// Declares a branch inheriting from `parent` (empty for a root). Returns
/// false, with a declaration error printed, for a nameless or repeated branch.
bool oglDeclareBranch(const std::string& name, const std::string& parent);

/// Declares a resource; the registry takes it. Returns false when a
/// declaration error was printed: a nameless or repeated resource is dropped,
/// an enumeration without its table is kept with no names.
bool oglDeclareResource(std::unique_ptr<OGLIResource> resource);

/// Checks the declared tree: every parent and every branch that has
/// resources must be declared. Prints each fault; returns true when none.
bool oglCheckResourceDeclarations();

/// Reads the resource file `fileName`, printing its warnings with their line
/// numbers. Returns false when the file cannot be opened (every resource then
/// keeps its value).
bool loadResourceFile(const std::string& fileName);

/// Forgets every branch and resource.
void oglClearResources();

/// The resource `name` of `branch` itself, or null.
OGLIResource* oglFindResource(const std::string& branch, const std::string& name);

/// The value a widget of `branch` reads: the branch's own value of that name
/// and kind, or, when unset or absent, the nearest ancestor's; 0 (no picture,
/// transparent black) when no branch up the chain has one set.
OGLColor oglColorResource(const std::string& branch, const std::string& name);
/// As `oglColorResource`, for floats.
float oglFloatResource(const std::string& branch, const std::string& name);
/// As `oglColorResource`, for integers.
int oglIntResource(const std::string& branch, const std::string& name);
/// As `oglColorResource`, for enumerations.
int oglEnumResource(const std::string& branch, const std::string& name);
/// As `oglColorResource`, for pictures: the resource holding the picture, or null.
const OGLIResourceTexture* oglTextureResource(const std::string& branch, const std::string& name);
