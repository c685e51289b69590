// The size at which the image control draws its picture, from the picture's size, the scale
// method and the room it is given, and where it goes: pure arithmetic, rounded as the control
// rounds.
#pragma once

namespace aic {

struct ScaledSize {
    int width = 0;
    int height = 0;
};

// Scale methods: 0 fit, 1 stretch, 2 fit without enlarging, 3 actual size (4, custom, is the
// caller's own display size and never reaches here; any other value fits).
// The size of a picture of imageWidth x imageHeight (both at least 1) in desiredWidth x
// desiredHeight; with `rotated`, the size whose diagonal fits the room, so that the picture
// fits at any angle.
ScaledSize ScaleImage(int imageWidth, int imageHeight, int scaleMethod, int desiredWidth, int desiredHeight,
                      bool rotated);

// The side of the square that holds a picture of width x height at any angle: its diagonal,
// rounded; no sum of squares overflows.
int RotationExtent(int width, int height);

// The nearest integer, an exact half to the even neighbour; values beyond int saturate.
int RoundHalfEven(double value);

// Client pixels from `start` up to, not including, `end`.
struct Span {
    int start = 0;
    int end = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

// The square of side `extent` about the middle of `room`: (extent + 1) halved on either side of
// room halved. Any extent fits, the largest included.
Span CentredSpan(int room, int extent);

// `size` pixels from `offset` plus half of what `room` leaves beside `placedBy` pixels (halved
// toward zero). Stored offsets and sizes take any value: the ends are worked out wide and held
// to the int range, which leaves a span pushed that far still outside every client.
Span PlacedSpan(int offset, int room, int placedBy, int size);

} // namespace aic
