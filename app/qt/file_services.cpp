// File dialogs, whole-file reads and writes, the desktop's document viewer,
// the program's own file name and the user's configuration folder, for the Qt
// front end on a POSIX system.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "app/qt/main_window.h"
#include "app/qt/qt_paths.h"
#include "app/qt/qt_text.h"
#include "core/catalogue.h"
#include "core/text1251.h"
#include "files/file_services.h"

namespace orvanta::platform {

namespace {

constexpr auto kOpenerCaption = RU("Orvanta");
constexpr auto kNotOpened = RU("Не удалось открыть файл");
constexpr auto kNoOpener = RU("Не найдена программа для просмотра файлов (xdg-open).");
constexpr auto kOpenerFailed = RU("Программа для просмотра файлов (xdg-open) завершилась с кодом %1.");
constexpr auto kOpenerCrashed = RU("Программа для просмотра файлов (xdg-open) прервана.");

// Says that a document could not be shown and why, in a box over the main
// window (and on standard error, for whoever started the program).
void reportNotOpened(const QString& file, const QString& reason) {
    std::fprintf(stderr, "orvanta: %s: %s\n", file.toLocal8Bit().constData(), reason.toLocal8Bit().constData());
    auto* box = new QMessageBox(QMessageBox::Warning, qt::fromCp1251(::orvanta::text::tr(kOpenerCaption)),
                                qt::fromCp1251(::orvanta::text::tr(kNotOpened)) + QStringLiteral("\n") + file + QStringLiteral("\n\n") + reason,
                                QMessageBox::Ok, qt::dialogOwner());
    box->setObjectName(QStringLiteral("notOpenedBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// "Map Files (*.rva)"; a "*.*" pattern means every file, as it does on Windows.
QStringList nameFilters(const FileFilter* filters, std::int32_t filterCount) {
    QStringList list;
    for (std::int32_t i = 0; filters != nullptr && i < filterCount; ++i) {
        QString pattern = qt::fromCp1251(filters[i].pattern);
        if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        list << qt::fromCp1251(filters[i].description) + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return list;
}

// Shows the prepared dialog and hands the chosen path back in fileName.
bool runFileDialog(QFileDialog& dialog, char* fileName, std::int32_t capacity) {
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return false;
    const QFileInfo info(chosen.first());
    // The program carries the path as Windows-1251 text; the real one is
    // remembered beside it for the file services and the title.
    const std::string path = qt::narrowPath(info.absoluteFilePath(), qt::PathSource::Dialog);
    if (capacity <= 0 || path.size() + 1 > static_cast<std::size_t>(capacity)) return false;
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    // Like the system dialogs on Windows, the next dialog starts in the folder
    // of the file chosen last.
    QDir::setCurrent(info.absolutePath());
    return true;
}

// Qt's own dialog (where the desktop offers none) lists files with their
// size, type and date: those columns take the room their texts need, the name
// the rest, in a dialog wide enough for all four.
void fitDetailColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) return;
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    const QFontMetrics metrics(dialog.font());
    dialog.resize(std::max(dialog.sizeHint().width(), metrics.averageCharWidth() * 120),
                  std::max(dialog.sizeHint().height(), metrics.height() * 26));
}

void prepareDialog(QFileDialog& dialog, const FileFilter* filters, std::int32_t filterCount,
                   const char* initialDirectory) {
    fitDetailColumns(dialog);
    dialog.setNameFilters(nameFilters(filters, filterCount));
    if (!dialog.nameFilters().isEmpty()) dialog.selectNameFilter(dialog.nameFilters().first());
    dialog.setDirectory(initialDirectory != nullptr ? qt::realPath(initialDirectory) : QDir::currentPath());
}

}  // namespace

bool showSaveDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* defaultExtension, const char* initialDirectory, char* fileName,
                    std::int32_t capacity) {
    QFileDialog dialog(qt::dialogOwner(), qt::fromCp1251(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    prepareDialog(dialog, filters, filterCount, initialDirectory);
    if (defaultExtension != nullptr) dialog.setDefaultSuffix(qt::fromCp1251(defaultExtension));
    if (fileName != nullptr && fileName[0] != '\0') dialog.selectFile(qt::realPath(fileName));
    return runFileDialog(dialog, fileName, capacity);
}

bool showOpenDialog(const char* title, const FileFilter* filters, std::int32_t filterCount,
                    const char* initialDirectory, char* fileName, std::int32_t capacity) {
    QFileDialog dialog(qt::dialogOwner(), qt::fromCp1251(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepareDialog(dialog, filters, filterCount, initialDirectory);
    return runFileDialog(dialog, fileName, capacity);
}

FileHandle createNewFile(const char* path) {
    const QByteArray local = qt::localPath(path);
    int fd;
    do {
        fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? kNoFile : static_cast<FileHandle>(fd);
}

std::int32_t writeToFile(FileHandle file, const unsigned char* bytes, std::int32_t count) {
    if (file == kNoFile || count < 0) return -1;
    ssize_t written;
    do {
        written = ::write(static_cast<int>(file), bytes, static_cast<std::size_t>(count));
    } while (written < 0 && errno == EINTR);
    return written < 0 ? -1 : static_cast<std::int32_t>(written);
}

bool flushFile(FileHandle file) { return file != kNoFile && ::fsync(static_cast<int>(file)) == 0; }

bool closeFile(FileHandle file) {
    // Linux releases the descriptor even when close reports EINTR: never retry.
    return file != kNoFile && ::close(static_cast<int>(file)) == 0;
}

bool replaceFile(const char* source, const char* target) {
    const QByteArray from = qt::localPath(source);
    const QByteArray to = qt::localPath(target);
    if (::rename(from.constData(), to.constData()) != 0) return false;
    // Make the new directory entry itself durable; the rename has happened
    // whether or not this succeeds.
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(to)).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool removeFile(const char* path) { return ::unlink(qt::localPath(path).constData()) == 0; }

bool readFileStart(const char* path, unsigned char* buffer, std::int32_t capacity, std::int32_t& bytesRead) {
    bytesRead = 0;
    if (buffer == nullptr || capacity < 0) return false;
    const QByteArray local = qt::localPath(path);
    int fd;
    do {
        fd = ::open(local.constData(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    std::int32_t total = 0;
    while (total < capacity) {
        const ssize_t got = ::read(fd, buffer + total, static_cast<std::size_t>(capacity - total));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        total += static_cast<std::int32_t>(got);
    }
    ::close(fd);
    bytesRead = total;
    return true;
}

bool shellOpen(const char* path) {
    const QString file = qt::realPath(path);
    // A missing document stays silent: the desktop's opener would complain in
    // a window of its own.
    if (!QFileInfo(file).isFile()) return false;
    const QString absolute = QFileInfo(file).absoluteFilePath();
    // The opener is run here rather than through the desktop services, which
    // call it a success as soon as it starts: its exit status tells whether
    // the document was shown.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        reportNotOpened(absolute, qt::fromCp1251(::orvanta::text::tr(kNoOpener)));
        return false;
    }
    // Not owned by anything: an opener that still runs when the program ends
    // (one that waits for its viewer) is left running, not killed.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, absolute](int code, QProcess::ExitStatus status) {
        if (status == QProcess::CrashExit)
            reportNotOpened(absolute, qt::fromCp1251(::orvanta::text::tr(kOpenerCrashed)));
        else if (code != 0)
            reportNotOpened(absolute, qt::fromCp1251(::orvanta::text::tr(kOpenerFailed)).arg(code));
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, absolute](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        reportNotOpened(absolute, qt::fromCp1251(::orvanta::text::tr(kNoOpener)));
        process->deleteLater();
    });
    process->start();
    return true;
}

bool canWriteDirectory(const char* directory) {
    if (directory == nullptr || directory[0] == '\0') return false;
    const QByteArray local = qt::localPath(directory);
    // The superuser may write everywhere, so access() cannot tell a system-wide
    // installation from a folder of their own: the system's program folders
    // are nobody's, and root's personal number goes to root's configuration
    // folder like any user's.
    if (::geteuid() == 0) {
        const QString real = QDir(QString::fromLocal8Bit(local)).canonicalPath() + QLatin1Char('/');
        for (const char* system : {"/usr/", "/opt/"})
            if (real.startsWith(QLatin1String(system))) return false;
    }
    return ::access(local.constData(), W_OK | X_OK) == 0;
}

std::int32_t userConfigDirectory(char* buffer, std::int32_t capacity, bool create) {
    if (buffer == nullptr || capacity <= 0) return 0;
    buffer[0] = '\0';
    // $XDG_CONFIG_HOME, or ~/.config when it is unset or not an absolute path.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = QDir::cleanPath(base + QStringLiteral("/orvanta")) + QLatin1Char('/');
    const std::string path = qt::narrowPath(folder, qt::PathSource::Config);
    if (path.size() + 1 > static_cast<std::size_t>(capacity)) return 0;
    if (create && !QDir().mkpath(folder)) return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::int32_t>(path.size());
}

std::int32_t moduleFileName(char* buffer, std::int32_t capacity) {
    if (buffer == nullptr || capacity <= 0) return 0;
    buffer[0] = '\0';
    if (QCoreApplication::instance() == nullptr) return 0;
    const std::string path = qt::narrowPath(QCoreApplication::applicationFilePath(), qt::PathSource::Program);
    if (path.empty()) return 0;
    if (path.size() + 1 > static_cast<std::size_t>(capacity)) return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::int32_t>(path.size());
}

}  // namespace orvanta::platform
