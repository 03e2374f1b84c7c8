#pragma once

#include <QAbstractListModel>
#include <cstdint>

#include "platform/controls.h"

namespace quendro::view {

// The rows of a list box model as a Qt item model: the view asks only for the
// rows it paints, and a new set of rows is one reset, however many there are.
class ListBoxModel : public QAbstractListModel {
  public:
    ListBoxModel(const ListBox& list, QObject* parent);

    // Takes the list's rows when they changed since the last call.
    void refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    const ListBox& list_;
    std::uint64_t shownRevision_ = 0;
    int shownRows_ = 0;
};

}  // namespace quendro::view
