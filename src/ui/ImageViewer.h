#pragma once
// The program's own viewer for "View image file": a DDS or IWI image decoded by the image
// decoder the exports use, shown over a checkerboard so that its alpha channel shows, with
// zoom (the buttons, + and -, Ctrl and the mouse wheel) from 1/8 to 32 times. Escape and
// Ctrl+W close it.
#include <QImage>
#include <QWidget>
#include <optional>
#include <string>

class QLabel;
class QScrollArea;

namespace tessary::ui {

// The decoded picture drawn over a checkerboard at the viewer's zoom.
class ImageCanvas final : public QWidget {
  Q_OBJECT
 public:
  explicit ImageCanvas(QImage image, QWidget* parent = nullptr);
  void SetZoom(double zoom);
  double Zoom() const { return zoom_; }
  const QImage& Image() const { return image_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  double zoom_ = 1.0;
};

class ImageViewer final : public QWidget {
  Q_OBJECT
 public:
  // Decodes the image at `path` (a joined path, matched case-insensitively); null with
  // `error` naming the file and the reason when it cannot be decoded.
  static ImageViewer* Open(const std::string& path, std::string& error, QWidget* parent);

  ImageCanvas& Canvas() const { return *canvas_; }
  // One step up or down the zoom levels (halving or doubling), within 1/8 and 32.
  void ZoomIn();
  void ZoomOut();
  void ActualSize();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ImageViewer(QImage image, const std::string& path, QWidget* parent);
  void ApplyZoom(double zoom);

  ImageCanvas* canvas_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QLabel* status_ = nullptr;
  QString size_;
};

}  // namespace tessary::ui
