#include "app/view/list_model.h"

namespace quendro::view {

ListBoxModel::ListBoxModel(const ListBox& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shownRevision_(list.revision()),
      shownRows_(list.listCount()) {}

void ListBoxModel::refresh() {
    if (list_.revision() == shownRevision_) return;
    beginResetModel();
    shownRevision_ = list_.revision();
    shownRows_ = list_.listCount();
    endResetModel();
}

int ListBoxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shownRows_ ||
        index.row() >= list_.listCount())
        return {};
    const std::u16string& text = list_.items()[static_cast<size_t>(index.row())];
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace quendro::view
