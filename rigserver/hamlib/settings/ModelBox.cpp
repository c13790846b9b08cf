#include "ModelBox.h"

#include <QCompleter>
#include <QLineEdit>
#include <algorithm>

#include "HamlibLibrary.h"

namespace OmniRig {

namespace {

QString entryText(const HamlibLibrary::Model& m) {
    const QString maker = QString::fromStdString(m.manufacturer);
    const QString name = QString::fromStdString(m.name);
    // The number tells models of one name apart, and is what rigctl -l lists.
    return (maker.isEmpty() ? name : maker + ' ' + name) + QStringLiteral(" (%1)").arg(m.number);
}

}  // namespace

ModelBox::ModelBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);

    std::vector<HamlibLibrary::Model> models = HamlibLibrary::models();
    std::sort(models.begin(), models.end(), [](const auto& a, const auto& b) {
        const int maker = QString::fromStdString(a.manufacturer)
                              .compare(QString::fromStdString(b.manufacturer), Qt::CaseInsensitive);
        if (maker != 0) {
            return maker < 0;
        }
        return QString::fromStdString(a.name).compare(QString::fromStdString(b.name),
                                                      Qt::CaseInsensitive) < 0;
    });
    addItem(tr("None"), 0);
    for (const auto& m : models) {
        addItem(entryText(m), m.number);
    }

    completer()->setCompletionMode(QCompleter::PopupCompletion);
    completer()->setFilterMode(Qt::MatchContains);
    completer()->setCaseSensitivity(Qt::CaseInsensitive);
    completer()->setMaxVisibleItems(20);
}

std::optional<int> ModelBox::modelNumber() const {
    const QString text = currentText().trimmed();
    if (currentIndex() >= 0 && text == itemText(currentIndex())) {
        return itemData(currentIndex()).toInt();
    }
    const int found = findText(text, Qt::MatchFixedString);
    if (found < 0) {
        return std::nullopt;
    }
    return itemData(found).toInt();
}

void ModelBox::setModelNumber(int number) {
    setCurrentIndex(std::max(findData(number), 0));
}

}  // namespace OmniRig
