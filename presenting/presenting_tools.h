// The presenting tools of one window: their model, the layer that shows them, and the button
// whose menu opens them.
#pragma once

#include "presenting/model/presenting_model.h"
#include "presenting/presenting_layer.h"

#include <QHash>
#include <QObject>

class QMenu;
class QAction;

namespace platform {
class SpeedButton;
}

namespace presenting {

class PresentingTools : public QObject {
    Q_OBJECT
public:
    // Over `host` from `top` down; see PresentingLayer for `ceiling`.
    PresentingTools(QWidget* host, PresentingLayer::Source source, int top,
                    QWidget* ceiling = nullptr);
    // The layer, which shows the model, goes first.
    ~PresentingTools() override;

    PresentingModel& model() { return model_; }
    PresentingLayer* layer() { return layer_; }
    QMenu* menu() { return menu_; }
    QAction* action(Tool tool) { return actions_[static_cast<int>(tool)]; }

    // The 38 x 38 button that shows the menu of the three tools under itself.
    platform::SpeedButton* makeButton(QWidget* parent, int left, int top);
    // A piece of bar PieceWidth wide holding such a button, just left of `bar` and shown while
    // it is.
    static constexpr int PieceWidth = 40;
    platform::SpeedButton* attachBesideBar(QWidget* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeBeside(QWidget* bar);

    PresentingModel model_;
    PresentingLayer* layer_;
    QMenu* menu_;
    QAction* actions_[3];
    QHash<QWidget*, QWidget*> pieces_;
};

} // namespace presenting
