// The figures of `make look`, read from the frames a run recorded.
//
//   look_measure crowns FOLDER FIRST LAST TOP BOTTOM   changed blobs per frame in rows [TOP, BOTTOM)
//   look_measure pop FOLDER TOP BOTTOM                 pop ratio of rows [TOP, BOTTOM) over the frames
//   look_measure soil FILE BARE TOP BOTTOM             share of bare-soil pixels in rows [TOP, BOTTOM)
//   look_measure light FILE TOP BOTTOM                 mean lightness of rows [TOP, BOTTOM)
//   look_measure sheet OUT FILE...                     the files side by side at half size, four a row
//   look_measure mean OUT FILE...                      the mean of the files: the jittered reference
//   look_measure alias FILE REF TOP BOTTOM             share of pixels of rows [TOP, BOTTOM) off the reference by over 8 %
//   look_measure flicker FILE SHIFTED REF TOP BOTTOM   change under a half-pixel shift against the reference's
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QImage load(const char* name)
{
    QImage image(QString::fromLocal8Bit(name));
    if (image.isNull()) {
        std::fprintf(stderr, "look_measure: cannot read %s\n", name);
        std::exit(1);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage frame(const char* folder, int k)
{
    char name[1024];
    std::snprintf(name, sizeof name, "%s/frame-%05d.png", folder, k);
    return load(name);
}

int frameCount(const char* folder)
{
    int n = 0;
    char name[1024];
    for (;; ++n) {
        std::snprintf(name, sizeof name, "%s/frame-%05d.png", folder, n);
        if (FILE* f = std::fopen(name, "rb")) std::fclose(f); else return n;
    }
}

/// Largest channel difference of two pixels, 0..255.
int difference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

/// Changed blobs (4-connected pixels whose colour moved by more than 24) of
/// rows [top, bottom) between two frames: how many of 15 px or more, and of 50 or more.
void blobs(const QImage& a, const QImage& b, int top, int bottom, int& small, int& large)
{
    const int w = a.width(), h = bottom - top;
    std::vector<char> changed(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) changed[size_t(y) * w + x] = difference(a.pixel(x, y + top), b.pixel(x, y + top)) > 24;
    std::vector<int> stack;
    for (size_t start = 0; start < changed.size(); ++start) {
        if (!changed[start]) continue;
        int size = 0;
        changed[start] = 0;
        stack.assign(1, int(start));
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            ++size;
            const int x = p % w, y = p / w;
            const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& q : next)
                if (q[0] >= 0 && q[0] < w && q[1] >= 0 && q[1] < h && changed[size_t(q[1]) * w + q[0]]) {
                    changed[size_t(q[1]) * w + q[0]] = 0;
                    stack.push_back(q[1] * w + q[0]);
                }
        }
        small += size >= 15;
        large += size >= 50;
    }
}

/// Per 16 × 8 tile of rows [top, bottom), the mean change of each frame to the
/// next. A tile's pop at frame t is its change there over the mean change of
/// the two frames before and after; the ratio is the 99th percentile of the
/// pops where something changed, so that one level switch in a hundred shows.
double popRatio(const char* folder, int top, int bottom)
{
    const int n = frameCount(folder);
    if (n < 6) return 0;
    QImage previous = frame(folder, 0);
    const int tilesX = previous.width() / 16, tilesY = (bottom - top) / 8;
    std::vector<std::vector<double>> change(size_t(tilesX) * tilesY);
    for (int k = 1; k < n; ++k) {
        const QImage current = frame(folder, k);
        for (int ty = 0; ty < tilesY; ++ty)
            for (int tx = 0; tx < tilesX; ++tx) {
                double sum = 0;
                for (int y = top + 8 * ty; y < top + 8 * ty + 8; ++y)
                    for (int x = 16 * tx; x < 16 * tx + 16; ++x) sum += difference(previous.pixel(x, y), current.pixel(x, y));
                change[size_t(ty) * tilesX + tx].push_back(sum / 128);
            }
        previous = current;
    }
    std::vector<double> pops;
    for (const std::vector<double>& c : change)
        for (size_t t = 2; t + 2 < c.size(); ++t) {
            if (c[t] < 1) continue;
            const double around = (c[t - 2] + c[t - 1] + c[t + 1] + c[t + 2]) / 4;
            pops.push_back(c[t] / std::max(around, 0.25));
        }
    if (pops.empty()) return 1;
    std::sort(pops.begin(), pops.end());
    return pops[size_t(0.99 * (pops.size() - 1))];
}

/// Bare soil: the pixel is as in the same view drawn without grass.
double soilShare(const QImage& image, const QImage& bare, int top, int bottom)
{
    long soil = 0, all = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x) {
            soil += difference(image.pixel(x, y), bare.pixel(x, y)) <= 8;
            ++all;
        }
    return all ? double(soil) / all : 0;
}

double lightness(const QImage& image, int top, int bottom)
{
    double sum = 0;
    long all = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum += (std::max({qRed(p), qGreen(p), qBlue(p)}) + std::min({qRed(p), qGreen(p), qBlue(p)})) / 510.0;
            ++all;
        }
    return all ? sum / all : 0;
}

void sheet(const char* out, int count, char** files)
{
    const QImage first = load(files[0]);
    const int w = first.width() / 2, h = first.height() / 2, columns = std::min(count, 4);
    QImage page(w * columns, h * ((count + 3) / 4), QImage::Format_RGB32);
    page.fill(Qt::black);
    QPainter painter(&page);
    for (int k = 0; k < count; ++k)
        painter.drawImage(QRect((k % 4) * w, (k / 4) * h, w, h), load(files[k]));
    painter.end();
    if (!page.save(QString::fromLocal8Bit(out), "PNG")) {
        std::fprintf(stderr, "look_measure: cannot write %s\n", out);
        std::exit(1);
    }
}

void mean(const char* out, int count, char** files)
{
    const QImage first = load(files[0]);
    std::vector<double> sum(size_t(first.width()) * first.height() * 3);
    for (int k = 0; k < count; ++k) {
        const QImage image = load(files[k]);
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                double* s = &sum[(size_t(y) * first.width() + x) * 3];
                s[0] += qRed(p);
                s[1] += qGreen(p);
                s[2] += qBlue(p);
            }
    }
    QImage average(first.size(), QImage::Format_RGB32);
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x) {
            const double* s = &sum[(size_t(y) * first.width() + x) * 3];
            average.setPixel(x, y, qRgb(int(s[0] / count + 0.5), int(s[1] / count + 0.5), int(s[2] / count + 0.5)));
        }
    if (!average.save(QString::fromLocal8Bit(out), "PNG")) {
        std::fprintf(stderr, "look_measure: cannot write %s\n", out);
        std::exit(1);
    }
}

double aliasShare(const QImage& image, const QImage& reference, int top, int bottom)
{
    long off = 0, all = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x) {
            off += difference(image.pixel(x, y), reference.pixel(x, y)) > 20;
            ++all;
        }
    return all ? double(off) / all : 0;
}

/// Mean change between a frame and the one drawn half a pixel to the right,
/// over the reference's change when shifted half a pixel itself (each pixel
/// averaged with its left neighbour).
double flicker(const QImage& image, const QImage& shifted, const QImage& reference, int top, int bottom)
{
    double change = 0, ideal = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 1; x < image.width(); ++x) {
            change += difference(image.pixel(x, y), shifted.pixel(x, y));
            const QRgb r = reference.pixel(x, y), l = reference.pixel(x - 1, y);
            ideal += difference(r, qRgb((qRed(r) + qRed(l)) / 2, (qGreen(r) + qGreen(l)) / 2, (qBlue(r) + qBlue(l)) / 2));
        }
    return ideal > 0 ? change / ideal : 0;
}

int usage()
{
    std::fprintf(stderr, "usage: look_measure crowns FOLDER FIRST LAST TOP BOTTOM | pop FOLDER TOP BOTTOM |\n"
                         "       soil FILE BARE TOP BOTTOM | light FILE TOP BOTTOM | sheet OUT FILE... | mean OUT FILE... |\n"
                         "       alias FILE REF TOP BOTTOM | flicker FILE SHIFTED REF TOP BOTTOM\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    if (mode == "crowns" && argc == 7) {
        const int first = std::atoi(argv[3]), last = std::atoi(argv[4]), top = std::atoi(argv[5]), bottom = std::atoi(argv[6]);
        int small = 0, large = 0;
        QImage previous = frame(argv[2], first);
        for (int k = first + 1; k <= last; ++k) {
            const QImage current = frame(argv[2], k);
            blobs(previous, current, top, bottom, small, large);
            previous = current;
        }
        const double frames = std::max(1, last - first);
        std::printf("%.2f %.2f\n", small / frames, large / frames);
    } else if (mode == "pop" && argc == 5) {
        std::printf("%.2f\n", popRatio(argv[2], std::atoi(argv[3]), std::atoi(argv[4])));
    } else if (mode == "soil" && argc == 6) {
        const QImage image = load(argv[2]), bare = load(argv[3]);
        const int bottom = std::min({std::atoi(argv[5]), image.height(), bare.height()});
        std::printf("%.3f\n", soilShare(image, bare, std::atoi(argv[4]), bottom));
    } else if (mode == "light" && argc == 5) {
        const QImage image = load(argv[2]);
        std::printf("%.3f\n", lightness(image, std::atoi(argv[3]), std::min(std::atoi(argv[4]), image.height())));
    } else if (mode == "mean" && argc >= 4) {
        mean(argv[2], argc - 3, argv + 3);
    } else if (mode == "alias" && argc == 6) {
        std::printf("%.4f\n", aliasShare(load(argv[2]), load(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])));
    } else if (mode == "flicker" && argc == 7) {
        std::printf("%.2f\n", flicker(load(argv[2]), load(argv[3]), load(argv[4]), std::atoi(argv[5]), std::atoi(argv[6])));
    } else if (mode == "sheet" && argc >= 4) {
        sheet(argv[2], argc - 3, argv + 3);
    } else {
        return usage();
    }
    return 0;
}
