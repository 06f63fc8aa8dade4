#pragma once

// Boost.Geometry's R-tree over pieces' bounds, kept out of the public headers.

#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/point.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <iterator>
#include <utility>
#include <vector>

#include "check/Shapes.h"

namespace fw {

namespace bgi = boost::geometry::index;
using RPoint = boost::geometry::model::point<double, 2, boost::geometry::cs::cartesian>;
using RBox = boost::geometry::model::box<RPoint>;
using RValue = std::pair<RBox, int>;
using RTree = bgi::rtree<RValue, bgi::quadratic<16>>;

inline RBox rbox(const Bounds& b) {
  return RBox(RPoint(b.minX, b.minY), RPoint(b.maxX, b.maxY));
}

inline RBox grown(const RBox& b, double by) {
  return RBox(RPoint(b.min_corner().get<0>() - by, b.min_corner().get<1>() - by),
              RPoint(b.max_corner().get<0>() + by, b.max_corner().get<1>() + by));
}

// An output iterator that keeps only the piece numbers of what a query finds.
struct PieceSink {
  std::vector<int>* out;
  using iterator_category = std::output_iterator_tag;
  using value_type = void;
  using difference_type = void;
  using pointer = void;
  using reference = void;
  PieceSink& operator*() { return *this; }
  PieceSink& operator++() { return *this; }
  PieceSink& operator++(int) { return *this; }
  PieceSink& operator=(const RValue& v) {
    out->push_back(v.second);
    return *this;
  }
};

}  // namespace fw
