#include "RealFft.h"

#include "AlignedVector.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <fftw3.h>

#include <cstdio>
#include <new>

namespace {

// Buffers on whole cache lines (FFTW's own allocator gives less than the widest vectors
// here want).
void* AllocateLines(std::size_t bytes)
{
    return ::operator new(bytes, std::align_val_t(CacheLine), std::nothrow);
}

void FreeLines(void* p)
{
    ::operator delete(p, std::align_val_t(CacheLine));
}

struct Wisdom {
    std::string file;
    bool chosen = false, loaded = false;
};

Wisdom& TheWisdom()
{
    static Wisdom w;
    if (!w.chosen) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (!folder.isEmpty())
            w.file = QDir(folder).filePath(QStringLiteral("fftw-wisdom")).toStdString();
        w.chosen = true;
    }
    return w;
}

void SaveWisdom(const std::string& file)
{
    const QString path = QString::fromStdString(file);
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Written beside and renamed, so a reader never sees half a file.
    const std::string partial = file + ".part";
    if (fftw_export_wisdom_to_filename(partial.c_str()))
        std::rename(partial.c_str(), file.c_str());
}

} // namespace

void RealFft::SetWisdomFile(const std::string& path)
{
    Wisdom& w = TheWisdom();
    w.file = path;
    w.loaded = false;
}

std::string RealFft::WisdomFile()
{
    return TheWisdom().file;
}

RealFft::RealFft(std::size_t n)
    : n_(n),
      in_(static_cast<double*>(AllocateLines(n * sizeof(double)))),
      out_(static_cast<std::complex<double>*>(AllocateLines((n / 2 + 1) * sizeof(std::complex<double>))))
{
    Wisdom& wisdom = TheWisdom();
    if (!wisdom.loaded && !wisdom.file.empty())
        fftw_import_wisdom_from_filename(wisdom.file.c_str());
    wisdom.loaded = true;

    auto* out = reinterpret_cast<fftw_complex*>(out_);
    plan_ = fftw_plan_dft_r2c_1d(int(n), in_, out, FFTW_MEASURE | FFTW_WISDOM_ONLY);
    if (!plan_) {
        // Measuring overwrites the buffers, which hold nothing yet.
        fftw_set_timelimit(FFTW_NO_TIMELIMIT);
        plan_ = fftw_plan_dft_r2c_1d(int(n), in_, out, FFTW_MEASURE);
        if (plan_ && !wisdom.file.empty())
            SaveWisdom(wisdom.file);
    }
    if (!plan_ || !in_ || !out_) {
        fftw_destroy_plan(plan_);
        FreeLines(out_);
        FreeLines(in_);
        throw std::bad_alloc();
    }
}

RealFft::~RealFft()
{
    fftw_destroy_plan(plan_);
    FreeLines(out_);
    FreeLines(in_);
}

void RealFft::Execute()
{
    fftw_execute(plan_);
}
