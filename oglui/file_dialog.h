#pragma once
/// A file dialog window: lists a folder (its parent, its folders, and its
/// files with one extension), lets the user pick or type a name, and reports
/// its result as a message (control number, OGL_DIALOG_OK or OGL_DIALOG_CANCEL).
#include "oglui/widget.h"

#include <string>
#include <vector>

/// The result a file dialog reports for OK.
constexpr int OGL_DIALOG_OK = 200;
/// The result a file dialog reports for Cancel.
constexpr int OGL_DIALOG_CANCEL = 0;

class OGLFileDialog;

/// The listing part of a file dialog: a click on a row chooses that entry.
class OGLFileList : public OGLWidget {
public:
    OGLFileList(OGLFileDialog* dialog, float x, float y, float w, float h)
        : OGLWidget("list", x, y, w, h), m_pDialog(dialog) {}
    bool mousePress(float x, float y) override;

protected:
    void drawSelf() const override;

private:
    OGLFileDialog* m_pDialog;
};

/// The dialog; create it with OGLInterface::addWindow.
class OGLFileDialog : public OGLWindow {
public:
    /// One line of the listing.
    struct Entry {
        std::string name;
        bool isFolder = false;
    };

    /// Height of one row of the listing, in view fractions.
    static constexpr float ROW_HEIGHT = 0.028f;

    /// `extension` without the dot ("arb"); its case is ignored.
    OGLFileDialog(std::string title, int control, std::string extension, float x, float y);

    /// Lists `folder`, shows the dialog in front and gives it the keyboard.
    void open(const std::string& folder);
    /// The folder listed.
    const std::string& folder() const { return m_pFolder; }
    /// The listing: "..", then the folders, then the matching files, by name.
    const std::vector<Entry>& entries() const { return m_pEntries; }
    /// What a click on entry `index` does: enter a folder, or take a file's name.
    void choose(size_t index);
    /// The name typed or picked.
    const std::string& fileName() const { return m_pName; }
    /// Replaces the name.
    void setFileName(std::string name);
    /// The chosen file: the folder and the name joined, empty without a name.
    std::string chosenPath() const;
    /// Hides the dialog and reports `result`. OK without a name does nothing.
    void finish(int result);
    /// First entry shown in the list.
    size_t firstShown() const { return m_pFirst; }
    /// How many entries the list shows at once.
    size_t visibleRows() const;
    /// Scrolls the list by `rows` (negative: up).
    void scroll(int rows);

    /// Typing edits the name; Return is OK, Escape is Cancel.
    bool keyPress(int key) override;

private:
    void list(const std::string& folder);

    int m_pControl;
    std::string m_pExtension;
    std::string m_pFolder;
    std::string m_pName;
    std::vector<Entry> m_pEntries;
    size_t m_pFirst = 0;
    OGLLabel* m_pFolderLabel = nullptr;
    OGLLabel* m_pNameField = nullptr;
    OGLFileList* m_pList = nullptr;
};
