#pragma once

#include <QWidget>

class CShapeLib;

// The preview of a shape: its silkscreen, copper and drill on a 0.1 inch grid, scaled into
// the widget with its origin marked.
class CShapePreview : public QWidget {
    Q_OBJECT

public:
    explicit CShapePreview(QWidget* parent = nullptr);

    // nullptr or an index that names no shape clears the preview.
    void SetShape(const CShapeLib* library, int32_t shape);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CShapeLib* m_library = nullptr;
    int32_t m_shape = -1;
};
