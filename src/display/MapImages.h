#pragma once

#include "display/ColorMap.h"

#include <QImage>
#include <QObject>
#include <QVector>

#include <memory>
#include <unordered_map>

class Analyzed2DRes;

// The pictures of result maps, kept by whoever shows maps. Each map drawn
// here gets a pixel buffer of its own; a picture stays valid until the map's
// values are replaced as a whole (reset, clear, copy) or the map is drawn
// again, and goes with the map when the map is destroyed. GUI thread only,
// like the maps.
class MapImages : public QObject
{
  Q_OBJECT

public:
  explicit MapImages(QObject* parent = nullptr);
  ~MapImages() override;

  // Draws the map's selected array through `mapping`: scale (scaleMin,
  // scaleMax) with fixedScale, else the array's own range. The old picture
  // is dropped first; a map without values of its size gets none.
  void genImg(const Analyzed2DRes& map, const ColorMapping& mapping);
  // The same through mapping().
  void genImg(const Analyzed2DRes& map);
  // Every map of `maps` in list order through the colour bar; nulls skipped.
  void genImg(const QVector<Analyzed2DRes*>& maps);
  // After `copy` = `source`: draws the copy through the mapping of the
  // source's picture when the source has a valid one, else leaves it none.
  void genImgOfCopy(const Analyzed2DRes& copy, const Analyzed2DRes& source);

  bool imageValid(const Analyzed2DRes& map) const;
  // The mapping genImg(map) draws through; the main window's colour bar
  // shows and edits it.
  ColorMapping& mapping() { return m_mapping; }
  // The map's picture wrapping its buffer without a copy, valid until the
  // map is drawn again (copy it to keep it longer); null when none is valid.
  QImage img(const Analyzed2DRes& map) const;

private:
  struct Picture;
  const Picture* validPicture(const Analyzed2DRes& map) const;

  std::unordered_map<const Analyzed2DRes*, std::unique_ptr<Picture>> m_pictures;
  ColorMapping m_mapping;
};
