#include "oglui/file_dialog.h"

#include <algorithm>
#include <filesystem>
#include <strings.h>

namespace fs = std::filesystem;

namespace {

constexpr float WIDTH = 0.36f, HEIGHT = 0.5f;
constexpr float MARGIN = 0.01f, LINE = 0.032f;
constexpr float LIST_Y = OGLWindow::TITLE_HEIGHT + 0.045f;
constexpr float LIST_H = HEIGHT - LIST_Y - 0.1f;
constexpr size_t MAX_NAME = 255;

} // namespace

bool OGLFileList::mousePress(float, float y)
{
    const size_t row = size_t((y - rect().y) / OGLFileDialog::ROW_HEIGHT);
    if (row < m_pDialog->visibleRows()) m_pDialog->choose(m_pDialog->firstShown() + row);
    return true;
}

OGLFileDialog::OGLFileDialog(std::string title, int control, std::string extension, float x, float y)
    : OGLWindow(std::move(title), x, y, WIDTH, HEIGHT), m_pControl(control), m_pExtension(std::move(extension))
{
    setBranch("filedialog");
    setShown(false);
    m_pFolderLabel = add<OGLLabel>("", MARGIN, TITLE_HEIGHT + 0.008f, WIDTH - 2 * MARGIN, LINE);
    m_pList = add<OGLFileList>(this, MARGIN, LIST_Y, WIDTH - 2 * MARGIN - 0.03f, LIST_H);
    auto* up = add<OGLButton>("^", 0, WIDTH - MARGIN - 0.025f, LIST_Y, 0.025f, LINE, "scrollbar");
    up->setAction([this] { scroll(-int(visibleRows()) / 2); });
    auto* down = add<OGLButton>("v", 0, WIDTH - MARGIN - 0.025f, LIST_Y + LIST_H - LINE, 0.025f, LINE, "scrollbar");
    down->setAction([this] { scroll(int(visibleRows()) / 2); });
    m_pNameField = add<OGLLabel>("", MARGIN, HEIGHT - 0.092f, WIDTH - 2 * MARGIN, LINE, "list");
    auto* ok = add<OGLButton>("OK", 0, WIDTH - 0.2f, HEIGHT - 0.05f, 0.09f, LINE);
    ok->setAction([this] { finish(OGL_DIALOG_OK); });
    auto* cancel = add<OGLButton>("Cancel", 0, WIDTH - 0.1f, HEIGHT - 0.05f, 0.09f, LINE);
    cancel->setAction([this] { finish(OGL_DIALOG_CANCEL); });
    setFileName("");
}

void OGLFileDialog::open(const std::string& folder)
{
    list(folder);
    setShown(true);
    if (OGLInterface* ui = interface()) {
        ui->raise(this);
        ui->setFocus(this);
    }
}

void OGLFileDialog::list(const std::string& folder)
{
    m_pFolder = folder.empty() ? "." : folder;
    m_pEntries.assign(1, Entry{"..", true});
    m_pFirst = 0;
    std::vector<Entry> folders, files;
    std::error_code ec;
    for (fs::directory_iterator it(m_pFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            folders.push_back({name, true});
        } else {
            const std::string ext = it->path().extension().string();
            if (ext.size() > 1 && strcasecmp(ext.c_str() + 1, m_pExtension.c_str()) == 0) files.push_back({name, false});
        }
    }
    const auto byName = [](const Entry& a, const Entry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    m_pEntries.insert(m_pEntries.end(), folders.begin(), folders.end());
    m_pEntries.insert(m_pEntries.end(), files.begin(), files.end());
    m_pFolderLabel->setText(ec ? m_pFolder + " (cannot be read)" : m_pFolder);
}

void OGLFileDialog::choose(size_t index)
{
    if (index >= m_pEntries.size()) return;
    const Entry entry = m_pEntries[index];
    if (entry.isFolder) {
        fs::path next = (fs::path(m_pFolder) / entry.name).lexically_normal();
        if (!next.has_filename() && next != next.root_path()) next = next.parent_path();  // "a/b/.." gives "a/"
        list(next.string());
    } else
        setFileName(entry.name);
}

void OGLFileDialog::setFileName(std::string name)
{
    m_pName = name.substr(0, MAX_NAME);
    m_pNameField->setText(m_pName + "_");
}

std::string OGLFileDialog::chosenPath() const
{
    return m_pName.empty() ? std::string() : (fs::path(m_pFolder) / m_pName).string();
}

void OGLFileDialog::finish(int result)
{
    if (result == OGL_DIALOG_OK && m_pName.empty()) return;
    setShown(false);
    if (OGLInterface* ui = interface()) ui->setFocus(nullptr);
    send(m_pControl, result);
}

size_t OGLFileDialog::visibleRows() const { return size_t(LIST_H / ROW_HEIGHT); }

void OGLFileDialog::scroll(int rows)
{
    const size_t shown = visibleRows();
    const long last = long(m_pEntries.size() > shown ? m_pEntries.size() - shown : 0);
    m_pFirst = size_t(std::clamp(long(m_pFirst) + rows, 0L, last));
}

bool OGLFileDialog::keyPress(int key)
{
    if (key == '\r' || key == '\n') {
        finish(OGL_DIALOG_OK);
    } else if (key == 27) {
        finish(OGL_DIALOG_CANCEL);
    } else if (key == 8 || key == 127) {
        if (!m_pName.empty()) setFileName(m_pName.substr(0, m_pName.size() - 1));
    } else if (key >= 32 && key < 127) {
        setFileName(m_pName + char(key));
    } else {
        return false;
    }
    return true;
}
