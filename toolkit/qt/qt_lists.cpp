#include "toolkit/qt/qt_lists.h"

#include <QKeyEvent>
#include <QStyle>
#include <algorithm>

#include "toolkit/message_boxes.h"
#include "toolkit/qt/qt_controls.h"
#include "toolkit/qt/qt_input.h"
#include "toolkit/qt/qt_text.h"
#include "toolkit/qt/qt_toolkit.h"
#include "toolkit/visible_text.h"

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
    const bool changed = model_.setPath(toolkit_.os(), path, sortNames);
    const QIcon openFolder = list_->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = list_->style()->standardIcon(QStyle::SP_DirClosedIcon);
    list_->clear();
    for (const FolderLine& line : model_.lines()) {
        list_->addItem(
            new QListWidgetItem(line.open ? openFolder : closedFolder,
                                QString(line.depth * 2, ' ') + toQString(visibleText(line.name))));
    }
    list_->setCurrentRow(static_cast<int>(model_.currentLine()));
    if (changed && change_) toolkit_.runHandler(change_);
}

// The line's path comes from the model, byte for byte, never from the text shown.
void QtDirListBox::open(QListWidgetItem* item) {
    const int row = list_->row(item);
    if (row < 0 || static_cast<std::size_t>(row) >= model_.lines().size()) return;
    const std::string folder = model_.lines()[static_cast<std::size_t>(row)].path;
    try {
        setPath(folder);
    } catch (const PathUnavailable&) {
        toolkit_.msgBox(FolderListModel::unreadableDriveMessage(folder), msgbox_style::critical,
                        "Error");
    }
}

// A list view that offers each key to its box before it moves the current row.
class QtFileListBox::View final : public QListView {
  public:
    View(QWidget& parent, QtFileListBox& box) : QListView(&parent), box_(box) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (box_.selectFirst(event->key())) {
            event->accept();
            return;
        }
        QListView::keyPressEvent(event);
    }

  private:
    QtFileListBox& box_;
};

QtFileListBox::QtFileListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout,
                             QPoint origin)
    : toolkit_(toolkit), view_(new View(parent, *this)), names_(new QStringListModel(view_)) {
    view_->setObjectName(QString::fromStdString(layout.name));
    place(*view_, layout, origin);
    view_->setFocusPolicy(layout.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setUniformItemSizes(true);
    view_->setModel(names_);
    // Selection, not the current row: a list that gets the focus makes its first row current
    // without selecting it, and that is no Click.
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, view_,
                     [this] { selectionChanged(); });
}

void QtFileListBox::setPath(std::string_view path) {
    settingByCode_ = true;
    try {
        model_.setPath(toolkit_.os(), path, sortNames);
    } catch (...) {
        settingByCode_ = false;
        throw;
    }
    QStringList names;
    names.reserve(static_cast<qsizetype>(model_.names().size()));
    for (const std::string& name : model_.names()) names.push_back(toQString(visibleText(name)));
    names_->setStringList(names);
    view_->selectionModel()->clear();
    settingByCode_ = false;
}

void QtFileListBox::setListIndex(std::int32_t index) {
    const bool click = model_.setListIndex(index);
    settingByCode_ = true;
    if (index == -1) {
        view_->selectionModel()->clear();
    } else {
        const QModelIndex row = names_->index(index);
        view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        view_->scrollTo(row);
    }
    settingByCode_ = false;
    if (click && click_) toolkit_.runHandler(click_);
}

bool QtFileListBox::selectFirst(int qtKey) {
    const std::optional<std::int32_t> row = model_.rowForKey(virtualKeyCode(qtKey));
    if (!row) return false;
    const QModelIndex index = names_->index(*row);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
    return true;
}

void QtFileListBox::selectionChanged() {
    if (settingByCode_) return;
    const QModelIndexList selected = view_->selectionModel()->selectedRows();
    const std::int32_t row = selected.isEmpty() ? -1 : selected.front().row();
    if (model_.userSelected(row) && click_) toolkit_.runHandler(click_);
}

}  // namespace toolkit::qt
