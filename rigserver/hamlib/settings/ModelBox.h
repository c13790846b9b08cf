#pragma once
// The rig model chooser: "None" first, then every model the installed Hamlib knows, by maker
// and model; typing filters the list to the entries containing the text.

#include <QComboBox>
#include <optional>

namespace OmniRig {

class ModelBox : public QComboBox {
    Q_OBJECT

public:
    explicit ModelBox(QWidget* parent = nullptr);

    // The model chosen, 0 for None; nothing while the text names no entry of the list.
    std::optional<int> modelNumber() const;
    // A number Hamlib does not know shows as None.
    void setModelNumber(int number);
};

}  // namespace OmniRig
