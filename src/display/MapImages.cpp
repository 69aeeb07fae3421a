#include "display/MapImages.h"

#include "analysis/Analyzed2DRes.h"

#include <QDebug>

struct MapImages::Picture
{
  ImageBuffer buffer;
  ColorMapping mapping; // of the last drawing
  quint64 generation = 0;
  bool valid = false;
};

MapImages::MapImages(QObject* parent)
  : QObject(parent)
{
}

MapImages::~MapImages() = default;

void MapImages::genImg(const Analyzed2DRes& map, const ColorMapping& mapping)
{
  auto found = m_pictures.find(&map);
  if (found == m_pictures.end()) {
    // A later map may be born at the same address: its picture must not be
    // this one's.
    const Analyzed2DRes* key = &map;
    connect(&map, &QObject::destroyed, this, [this, key] { m_pictures.erase(key); });
    found = m_pictures.emplace(key, std::make_unique<Picture>()).first;
  }
  Picture& p = *found->second;
  p.valid = false;
  p.buffer = ImageBuffer();
  p.mapping = mapping;
  p.generation = map.generation();
  const int w = map.width(), h = map.height();
  const QVector<double>& src = map.selectedValues();
  if (w <= 0 || h <= 0 || src.size() < w * h)
    return;
  double lo, hi;
  if (map.fixedScale()) {
    lo = map.scaleMin();
    hi = map.scaleMax();
  } else {
    map.selectedRange(lo, hi);
  }
  p.buffer.reset(w, h, mapping.format);
  for (int y = 0; y < h; ++y) {
    const double* row = src.constData() + y * w;
    for (int x = 0; x < w; ++x)
      p.buffer.setIndex(x, y, mapping.index(row[x], lo, hi));
  }
  p.valid = true;
  if (lo < 1e299) {
    qDebug().noquote() << "min" << lo << map.min() << map.minPos().x() << map.minPos().y();
    qDebug().noquote() << "max" << hi << map.max() << map.maxPos().x() << map.maxPos().y();
  }
}

void MapImages::genImg(const Analyzed2DRes& map)
{
  genImg(map, m_mapping);
}

void MapImages::genImg(const QVector<Analyzed2DRes*>& maps)
{
  for (const Analyzed2DRes* m : maps)
    if (m)
      genImg(*m);
}

void MapImages::genImgOfCopy(const Analyzed2DRes& copy, const Analyzed2DRes& source)
{
  if (const Picture* p = validPicture(source)) {
    const ColorMapping mapping = p->mapping;
    genImg(copy, mapping);
  }
}

const MapImages::Picture* MapImages::validPicture(const Analyzed2DRes& map) const
{
  const auto found = m_pictures.find(&map);
  if (found == m_pictures.end())
    return nullptr;
  const Picture& p = *found->second;
  return p.valid && p.generation == map.generation() ? &p : nullptr;
}

bool MapImages::imageValid(const Analyzed2DRes& map) const
{
  return validPicture(map) != nullptr;
}

QImage MapImages::img(const Analyzed2DRes& map) const
{
  const Picture* p = validPicture(map);
  return p ? p->buffer.image() : QImage();
}
