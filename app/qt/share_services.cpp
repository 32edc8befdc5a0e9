// Passing a map on: the dialog that shows a code or a result with a button
// that copies it to the clipboard, and the dialog that asks for a code.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>
#include <string>

#include "app/qt/main_window.h"
#include "app/qt/qt_text.h"
#include "app/share_services.h"
#include "core/catalogue.h"
#include "core/text1251.h"

namespace orvanta::platform {

namespace {

constexpr auto kCopy = RU("Копировать");
constexpr auto kCopied = RU("Скопировано");
constexpr auto kClose = RU("Закрыть");
constexpr auto kPaste = RU("Вставить");
constexpr auto kOpen = RU("Открыть");
constexpr auto kCancel = RU("Отмена");

// Wide enough for the longest code (about 100 characters) in one line.
constexpr int kDialogWidth = 720;

QLabel* wrappedLabel(const char* text, QWidget* parent) {
    auto* label = new QLabel(qt::fromCp1251(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

}  // namespace

void showShareDialog(const char* title, const char* caption, const char* text) {
    QDialog box(qt::dialogOwner());
    box.setObjectName(QStringLiteral("shareDialog"));
    box.setWindowTitle(qt::fromCp1251(title));
    box.setMinimumWidth(kDialogWidth);

    auto* shown = new QLineEdit(qt::fromCp1251(text), &box);
    shown->setObjectName(QStringLiteral("sharedText"));
    shown->setReadOnly(true);
    shown->setCursorPosition(0);
    auto* copy = new QPushButton(qt::fromCp1251(::orvanta::text::tr(kCopy)), &box);
    copy->setObjectName(QStringLiteral("copyButton"));
    copy->setDefault(true);
    auto* close = new QPushButton(qt::fromCp1251(::orvanta::text::tr(kClose)), &box);
    QObject::connect(copy, &QPushButton::clicked, &box, [copy, shown] {
        QGuiApplication::clipboard()->setText(shown->text());
        copy->setText(qt::fromCp1251(::orvanta::text::tr(kCopied)));
        shown->selectAll();
    });
    QObject::connect(close, &QPushButton::clicked, &box, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(wrappedLabel(caption, &box));
    layout->addWidget(shown);
    layout->addLayout(buttons);
    copy->setFocus();
    box.exec();
}

bool askForMapCode(const char* title, const char* message, char* code, std::int32_t capacity) {
    if (code == nullptr || capacity <= 0) return false;
    QDialog box(qt::dialogOwner());
    box.setObjectName(QStringLiteral("mapCodeDialog"));
    box.setWindowTitle(qt::fromCp1251(title));
    box.setMinimumWidth(kDialogWidth);

    QLabel* said = wrappedLabel(message, &box);
    said->setObjectName(QStringLiteral("mapCodeMessage"));
    auto* entry = new QLineEdit(qt::fromCp1251(code), &box);
    entry->setObjectName(QStringLiteral("mapCodeEntry"));
    entry->setMaxLength(capacity - 1);
    entry->selectAll();
    auto* paste = new QPushButton(qt::fromCp1251(::orvanta::text::tr(kPaste)), &box);
    paste->setObjectName(QStringLiteral("pasteButton"));
    paste->setAutoDefault(false);
    QObject::connect(paste, &QPushButton::clicked, &box, [entry] {
        entry->setText(QGuiApplication::clipboard()->text().trimmed());
        entry->setFocus();
    });
    auto* buttons = new QDialogButtonBox(&box);
    QPushButton* open = buttons->addButton(qt::fromCp1251(::orvanta::text::tr(kOpen)), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("openButton"));
    open->setDefault(true);
    buttons->addButton(qt::fromCp1251(::orvanta::text::tr(kCancel)), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(entry);
    row->addWidget(paste);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(said);
    layout->addLayout(row);
    layout->addWidget(buttons);
    entry->setFocus();
    if (box.exec() != QDialog::Accepted) return false;

    // A pasted link or line may hold characters the code page lacks: they
    // become '?', which no code has, and the entry is refused for them.
    const std::string typed = text::fromUtf8(entry->text().toStdString());
    const std::size_t n = typed.size() < static_cast<std::size_t>(capacity) ? typed.size() : static_cast<std::size_t>(capacity) - 1;
    std::memcpy(code, typed.data(), n);
    code[n] = '\0';
    return true;
}

std::int32_t mapCodeLink(const char* /*code*/, char* buffer, std::int32_t capacity) {
    // A desktop program has no address of its own: the code travels alone.
    if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
    return 0;
}

}  // namespace orvanta::platform
