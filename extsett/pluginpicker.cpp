// SPDX-License-Identifier: GPL-2.0-or-later
#include "pluginpicker.h"

#include "popuppressreplay.h"

#include <QComboBox>
#include <QCompleter>
#include <QFontMetrics>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

enum Column
{
    NameColumn,
    DescriptionColumn
};

// The text the typed words are looked for in: the name and the description.
constexpr int SearchRole = Qt::UserRole + 1;
// Wide enough for most of sos's descriptions, narrow enough for a small screen.
constexpr int MostWidth = 640;

// Completes to the plugin's name, whatever part of the name or description was found.
class NameCompleter : public QCompleter
{
public:
    using QCompleter::QCompleter;
    QString pathFromIndex(const QModelIndex &index) const override
    {
        return index.sibling(index.row(), NameColumn).data().toString();
    }
};

QTreeView *twoColumnView()
{
    auto *view = new QTreeView;
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    return view;
}

} // namespace

PluginPicker::PluginPicker(QComboBox *picker)
    : QObject(picker), picker(picker), model(new QStandardItemModel(0, 2, this)),
      nameCompleter(new NameCompleter(this))
{
    picker->setModel(model);
    picker->setView(twoColumnView());
    nameCompleter->setCompletionMode(QCompleter::PopupCompletion);
    nameCompleter->setCompletionRole(SearchRole);
    nameCompleter->setFilterMode(Qt::MatchContains);
    nameCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    nameCompleter->setPopup(twoColumnView());
    nameCompleter->setModel(model);
    picker->setCompleter(nameCompleter);
    // Without the replay the first click on "Add" only closes the offered names. It comes after
    // setModel, which installs the completer's filter on the popup again: the filter installed
    // last runs first, and the completer's own one swallows the press.
    new PopupPressReplay(nameCompleter->popup(), picker);
}

void PluginPicker::setPlugins(const QStringList &names,
                              const QHash<QString, QString> &allDescriptions)
{
    descriptions = allDescriptions;
    model->removeRows(0, model->rowCount());
    for (const QString &name : names) {
        const QString description = descriptions.value(name);
        auto *nameItem = new QStandardItem(name);
        auto *descriptionItem = new QStandardItem(description);
        nameItem->setData(name + QLatin1Char(' ') + description, SearchRole);
        nameItem->setToolTip(description);
        descriptionItem->setToolTip(description);
        model->appendRow({nameItem, descriptionItem});
    }
    fitWidth();
}

// Both lists show the whole of most descriptions; the tool tip has the rest.
void PluginPicker::fitWidth()
{
    const QFontMetrics metrics(picker->font());
    // Room for the margins of a cell on either side of its text.
    const int margin = 2 * metrics.horizontalAdvance(QLatin1Char('M'));
    int nameWidth = 0;
    int descriptionWidth = 0;
    for (int row = 0; row < model->rowCount(); ++row) {
        nameWidth = qMax(nameWidth, metrics.horizontalAdvance(model->item(row)->text()));
        descriptionWidth =
            qMax(descriptionWidth,
                 metrics.horizontalAdvance(model->item(row, DescriptionColumn)->text()));
    }
    for (auto *view : {qobject_cast<QTreeView *>(picker->view()),
                       qobject_cast<QTreeView *>(nameCompleter->popup())}) {
        view->setColumnWidth(NameColumn, nameWidth + margin);
        view->setMinimumWidth(qMin(nameWidth + descriptionWidth + 2 * margin +
                                       view->verticalScrollBar()->sizeHint().width(),
                                   MostWidth));
    }
}
