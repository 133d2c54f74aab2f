#include "ui/ImageViewer.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/Disk.h"
#include "platform/Path.h"
#include "ui/DisplayName.h"
#include "workspace/ImageDecoder.h"

namespace tessary::ui {

namespace {

constexpr double kMinZoom = 1.0 / 8, kMaxZoom = 32.0;
constexpr int kCheckerSquare = 8;  // pixels of the screen, whatever the zoom

// The largest zoom, in halvings from 1, at which the image fits `room` (at most 1).
double FittingZoom(QSize image, QSize room) {
  double zoom = 1.0;
  while (zoom > kMinZoom && (image.width() * zoom > room.width() || image.height() * zoom > room.height()))
    zoom /= 2;
  return zoom;
}

}  // namespace

ImageCanvas::ImageCanvas(QImage image, QWidget* parent) : QWidget(parent), image_(std::move(image)) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(sizeHint());
}

void ImageCanvas::SetZoom(double zoom) {
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
  resize(sizeHint());
  update();
}

QSize ImageCanvas::sizeHint() const {
  return QSize(std::max(1, static_cast<int>(std::lround(image_.width() * zoom_))),
               std::max(1, static_cast<int>(std::lround(image_.height() * zoom_))));
}

void ImageCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect dirty = event->rect();
  // Light and mid grey squares: transparent parts of the image show them.
  for (int y = dirty.top() / kCheckerSquare * kCheckerSquare; y <= dirty.bottom(); y += kCheckerSquare)
    for (int x = dirty.left() / kCheckerSquare * kCheckerSquare; x <= dirty.right(); x += kCheckerSquare) {
      const bool light = ((x / kCheckerSquare) + (y / kCheckerSquare)) % 2 == 0;
      painter.fillRect(x, y, kCheckerSquare, kCheckerSquare, light ? QColor(204, 204, 204) : QColor(153, 153, 153));
    }
  // Pixels stay sharp squares when zoomed in.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
  painter.drawImage(rect(), image_);
}

ImageViewer* ImageViewer::Open(const std::string& path, std::string& error, QWidget* parent) {
  std::optional<RgbaImage> decoded = DecodeImageFile(Disk().Resolve(path), error);
  if (!decoded) return nullptr;
  QImage image(decoded->width, decoded->height, QImage::Format_RGBA8888);
  for (int y = 0; y < decoded->height; ++y)
    std::copy_n(decoded->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(decoded->width) * 4,
                static_cast<size_t>(decoded->width) * 4, image.scanLine(y));
  return new ImageViewer(std::move(image), path, parent);
}

ImageViewer::ImageViewer(QImage image, const std::string& path, QWidget* parent) : QWidget(parent) {
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(DisplayName(BareFileName(path)));
  size_ = QStringLiteral("%1 x %2").arg(image.width()).arg(image.height());

  canvas_ = new ImageCanvas(std::move(image));
  scroll_ = new QScrollArea(this);
  scroll_->setWidget(canvas_);
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->viewport()->installEventFilter(this);

  auto* zoomOut = new QPushButton(QStringLiteral("-"), this);
  auto* zoomIn = new QPushButton(QStringLiteral("+"), this);
  auto* actual = new QPushButton(QStringLiteral("1:1"), this);
  zoomOut->setObjectName("zoomOut");
  zoomIn->setObjectName("zoomIn");
  actual->setObjectName("actualSize");
  status_ = new QLabel(this);
  connect(zoomOut, &QPushButton::clicked, this, &ImageViewer::ZoomOut);
  connect(zoomIn, &QPushButton::clicked, this, &ImageViewer::ZoomIn);
  connect(actual, &QPushButton::clicked, this, &ImageViewer::ActualSize);

  auto* bar = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(zoomOut), static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(actual)})
    bar->addWidget(w);
  bar->addWidget(status_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(scroll_, 1);

  resize(640, 520);
  ApplyZoom(FittingZoom(canvas_->Image().size(), QSize(600, 440)));
}

void ImageViewer::ApplyZoom(double zoom) {
  canvas_->SetZoom(zoom);
  status_->setText(QStringLiteral("%1, %2%").arg(size_).arg(canvas_->Zoom() * 100, 0, 'f', canvas_->Zoom() < 1 ? 1 : 0));
}

void ImageViewer::ZoomIn() { ApplyZoom(canvas_->Zoom() * 2); }
void ImageViewer::ZoomOut() { ApplyZoom(canvas_->Zoom() / 2); }
void ImageViewer::ActualSize() { ApplyZoom(1.0); }

void ImageViewer::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Plus: case Qt::Key_Equal: ZoomIn(); break;
    case Qt::Key_Minus: ZoomOut(); break;
    case Qt::Key_1: ActualSize(); break;
    case Qt::Key_Escape: close(); break;
    default:
      if (event->matches(QKeySequence::Close) ||
          (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier)) {
        close();
        break;
      }
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

bool ImageViewer::eventFilter(QObject* watched, QEvent* event) {
  // Ctrl and the wheel zoom; the wheel alone scrolls.
  if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->modifiers() & Qt::ControlModifier) {
      if (wheel->angleDelta().y() > 0) ZoomIn();
      else if (wheel->angleDelta().y() < 0) ZoomOut();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tessary::ui
