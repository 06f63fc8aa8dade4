// What Qt alone needs to draw the bench boards' texts in a fresh process, with none of the
// editor's code: setting up its font database, then one text in each point size the boards'
// texts take at a zoom, as the command line's render draws them (aliased, 96 dpi, on RGB32).
// Every text the render draws needs at least this, so the render of a board with texts takes
// at least this much longer than that of an empty board.
//
//   ferrowrit-text-floor [ZOOM-LEVEL 0..5] [TEXTS-PER-SIZE]
//
// "in all" counts the font database and the texts; the canvas, which an empty board's render
// makes too, is shown apart.
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point& t) {
  const Clock::time_point now = Clock::now();
  const double ms = std::chrono::duration<double, std::milli>(now - t).count();
  t = now;
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int zoomLevel = argc > 1 ? std::atoi(argv[1]) : 2;
  const int perSize = argc > 2 ? std::max(std::atoi(argv[2]), 1) : 1;
  if (zoomLevel < 0 || zoomLevel > 5) {
    std::fprintf(stderr, "usage: ferrowrit-text-floor [ZOOM-LEVEL 0..5] [TEXTS-PER-SIZE]\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  Clock::time_point t = Clock::now();

  // The font database, which Qt fills from fontconfig the first time any font is looked up.
  const int families = int(QFontDatabase::families().size());
  const double setUp = msSince(t);

  QImage image(1920, 1080, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);  // 96 dpi
  image.setDotsPerMeterY(3780);
  image.fill(0xFF000000u);
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.setPen(QColor(255, 255, 255));
  const double canvas = msSince(t);

  // The bench boards' texts are 5 to 50 units tall, drawn at zoom factor * size / 5 points.
  std::set<int> sizes;
  for (int size = 5; size <= 50; ++size) sizes.insert((1 << zoomLevel) * size / 5);
  int k = 0;
  for (const int points : sizes) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPointSize(points);
    p.setFont(font);
    for (int i = 0; i < perSize; ++i, ++k)
      p.drawText(QPoint(40 + 13 * (k % 97), 60 + 37 * (k % 29)),
                 QStringLiteral("T%1-R").arg(10000 + k).mid(1));
  }
  p.end();
  const double drawing = msSince(t);
  std::printf(
      "zoom %dx: font database %.1f ms (%d families), canvas %.1f ms, "
      "%zu sizes x %d texts %.1f ms, in all %.1f ms\n",
      1 << zoomLevel, setUp, families, canvas, sizes.size(), perSize, drawing, setUp + drawing);
  return 0;
}
