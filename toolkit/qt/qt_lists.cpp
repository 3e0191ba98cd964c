#include "toolkit/qt/qt_lists.h"

#include <QStyle>
#include <algorithm>

#include "toolkit/folder_contents.h"
#include "toolkit/folder_paths.h"
#include "toolkit/message_boxes.h"
#include "toolkit/qt/qt_controls.h"
#include "toolkit/qt/qt_text.h"
#include "toolkit/qt/qt_toolkit.h"

namespace toolkit::qt {

namespace {

// Compares two case-folded names as the desktop's file dialogs do: runs of digits by their
// value ("file2" before "file10"), everything else character by character.
int compareNaturally(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && a[i].isDigit()) ++i;
            while (j < b.size() && b[j].isDigit()) ++j;
            // Without leading zeros, the longer run is the larger number.
            QStringView runA = QStringView(a).mid(startA, i - startA);
            QStringView runB = QStringView(b).mid(startB, j - startB);
            while (runA.size() > 1 && runA.front() == u'0') runA = runA.mid(1);
            while (runB.size() > 1 && runB.front() == u'0') runB = runB.mid(1);
            if (runA.size() != runB.size()) return runA.size() < runB.size() ? -1 : 1;
            if (const int order = runA.compare(runB); order != 0) return order;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    return (i < a.size()) - (j < b.size());
}

// Names in the order of the desktop's file dialogs: case-insensitively, numbers by value, and
// names that differ only in case by their bytes, so the order is always the same.
void sortNames(std::vector<std::string>& names) {
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        keys.emplace_back(toQString(names[i]).toCaseFolded(), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto& a, const auto& b) {
        const int order = compareNaturally(a.first, b.first);
        return order != 0 ? order < 0 : names[a.second] < names[b.second];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const auto& key : keys) sorted.push_back(std::move(names[key.second]));
    names = std::move(sorted);
}

std::string driveRootOf(std::string_view path) {
    return std::string(path.substr(0, 3));
}

}  // namespace

QtDirListBox::QtDirListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout,
                           QPoint origin)
    : toolkit_(toolkit), list_(new QListWidget(&parent)) {
    list_->setObjectName(QString::fromStdString(layout.name));
    place(*list_, layout, origin);
    list_->setFocusPolicy(layout.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    QObject::connect(list_, &QListWidget::itemActivated, list_,
                     [this](QListWidgetItem* item) { open(item); });
}

void QtDirListBox::setPath(std::string_view path) {
    const std::vector<std::string> chain = pathChain(path);
    if (chain.empty() || !readFolder(toolkit_.os(), chain.front()))
        throw PathUnavailable("Device unavailable: " + std::string(path));
    std::optional<FolderContents> contents = readFolder(toolkit_.os(), chain.back());
    std::vector<std::string> folders;
    if (contents) {
        folders = std::move(contents->folders);
        sortNames(folders);
    }

    const QIcon openFolder = list_->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = list_->style()->standardIcon(QStyle::SP_DirClosedIcon);
    list_->clear();
    int depth = 0;
    for (const std::string& folder : chain) {
        const std::string name = depth == 0 ? folder : folder.substr(folder.rfind('\\') + 1);
        auto* item = new QListWidgetItem(openFolder, QString(depth * 2, ' ') + toQString(name));
        item->setData(Qt::UserRole, toQString(folder));
        list_->addItem(item);
        ++depth;
    }
    list_->setCurrentRow(list_->count() - 1);
    for (const std::string& folder : folders) {
        auto* item = new QListWidgetItem(closedFolder, QString(depth * 2, ' ') + toQString(folder));
        item->setData(Qt::UserRole, toQString(childPath(chain.back(), folder)));
        list_->addItem(item);
    }

    const std::string shown = chain.back();
    const bool changed = shown != path_;
    path_ = shown;
    if (changed && change_) toolkit_.runHandler(change_);
}

void QtDirListBox::open(QListWidgetItem* item) {
    const std::string folder = item->data(Qt::UserRole).toString().toStdString();
    try {
        setPath(folder);
    } catch (const PathUnavailable&) {
        toolkit_.msgBox("The drive " + driveRootOf(folder) + " cannot be read now.",
                        msgbox_style::critical, "Error");
    }
}

QtFileListBox::QtFileListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout,
                             QPoint origin)
    : toolkit_(toolkit), view_(new QListView(&parent)), model_(new QStringListModel(view_)) {
    view_->setObjectName(QString::fromStdString(layout.name));
    place(*view_, layout, origin);
    view_->setFocusPolicy(layout.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setUniformItemSizes(true);
    view_->setModel(model_);
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, view_,
                     [this](const QModelIndex& current) {
                         if (!settingByCode_ && current.isValid()) raiseClick();
                     });
}

void QtFileListBox::setPath(std::string_view path) {
    std::optional<FolderContents> contents = readFolder(toolkit_.os(), path);
    if (!contents) throw PathUnavailable("Path not found: " + std::string(path));
    sortNames(contents->files);
    QStringList names;
    names.reserve(static_cast<qsizetype>(contents->files.size()));
    for (const std::string& name : contents->files) names.push_back(toQString(name));
    settingByCode_ = true;
    model_->setStringList(names);
    view_->selectionModel()->clear();
    settingByCode_ = false;
    path_ = std::string(path);
}

std::string QtFileListBox::fileName() const {
    const QModelIndex current = view_->selectionModel()->currentIndex();
    if (!current.isValid() || !view_->selectionModel()->isSelected(current)) return {};
    return current.data().toString().toStdString();
}

std::int32_t QtFileListBox::listIndex() const {
    const QModelIndex current = view_->selectionModel()->currentIndex();
    if (!current.isValid() || !view_->selectionModel()->isSelected(current)) return -1;
    return current.row();
}

void QtFileListBox::setListIndex(std::int32_t index) {
    if (index < -1 || index >= listCount())
        throw std::out_of_range("list index " + std::to_string(index) + " outside the list");
    settingByCode_ = true;
    if (index == -1) {
        view_->selectionModel()->clear();
    } else {
        const QModelIndex row = model_->index(index);
        view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        view_->scrollTo(row);
    }
    settingByCode_ = false;
    if (index != -1) raiseClick();
}

std::int32_t QtFileListBox::listCount() const {
    return static_cast<std::int32_t>(model_->rowCount());
}

void QtFileListBox::raiseClick() {
    if (click_) toolkit_.runHandler(click_);
}

}  // namespace toolkit::qt
