#pragma once

#include <QListWidget>

// The list box of the layer lists of the design's layer configuration: a plain list of layer
// names.
class CLayerListBox : public QListWidget {
public:
    explicit CLayerListBox(QWidget* parent = nullptr) : QListWidget(parent) {}
};
