#include "oglui/file_dialog.h"
#include "oglui/widget_paint.h"

void OGLFileList::drawSelf() const
{
    const OGLRect r = rect();
    oglPaintBackground(r, branch(), "bgcolor", "bgtexture");
    oglPaintFrame(r, OGL_BORDER_IN);
    const OGLColor ink = oglColorResource(branch(), "textcolor");
    const auto& entries = m_pDialog->entries();
    const size_t first = m_pDialog->firstShown();
    const size_t rows = m_pDialog->visibleRows();
    const float ROW = OGLFileDialog::ROW_HEIGHT;
    const float iconW = oglPaintPixelsX(12), iconH = oglPaintPixelsY(12);
    for (size_t i = 0; i < rows && first + i < entries.size(); ++i) {
        const auto& e = entries[first + i];
        const OGLRect row{r.x, r.y + float(i) * ROW, r.w, ROW};
        if (!e.isFolder && e.name == m_pDialog->fileName())
            oglPaintBackground(row, branch(), "selcolor", "seltexture");
        const char* icon = e.name == ".." ? "iconparent" : e.isFolder ? "icondir" : "iconfile";
        const OGLRect box{row.x + 0.004f, row.y + (ROW - iconH) / 2, iconW, iconH};
        if (!oglPaintPicture(box, "filedialog", icon)) oglPaintFrame(box, e.isFolder ? OGL_BORDER_OUT : OGL_BORDER_LIGHT);
        oglPaintText(box.x + box.w + 0.006f, row.y + ROW / 2, e.isFolder ? e.name + "/" : e.name, ink);
    }
}
