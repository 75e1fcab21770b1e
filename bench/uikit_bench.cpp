// Text measuring and the icon canvas, the two UIKit costs of every lock-screen row.
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>

#include <benchmark/benchmark.h>

namespace {

void BM_SizeWithFontCached(benchmark::State& state) {
  auto font = UIFont::systemFontOfSize(14);
  auto text = NSStr("AAAAAAAAAAA");
  (void)sizeWithFont(text.get(), font.get());  // the face and its glyphs are loaded once
  for (auto _ : state) benchmark::DoNotOptimize(sizeWithFont(text.get(), font.get()));
}
BENCHMARK(BM_SizeWithFontCached);

void BM_SizeWithFontTitle(benchmark::State& state) {
  auto text = NSStr("Pick up the dry cleaning before the shop closes");
  for (auto _ : state) {
    // The row-height path: a font by size from the cache, then the measure.
    auto font = UIFont::systemFontOfSize(15);
    benchmark::DoNotOptimize(sizeWithFont(text.get(), font.get()));
  }
}
BENCHMARK(BM_SizeWithFontTitle);

void BM_DotCanvas80(benchmark::State& state) {
  auto fill = UIColor::colorWithRed(0.2, 0.6, 1, 1);
  auto black = UIColor::blackColor();
  for (auto _ : state) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(80, 80), false, 1.0);
    CGContextRef ctx = UIGraphicsGetCurrentContext();
    CGContextSetLineWidth(ctx, 2.0);
    CGContextSetStrokeColorWithColor(ctx, black->CGColor().get());
    CGContextSetFillColorWithColor(ctx, fill->CGColor().get());
    CGContextStrokeEllipseInRect(ctx, CGRectMake(25, 25, 30, 30));
    CGContextFillEllipseInRect(ctx, CGRectMake(25, 25, 30, 30));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    benchmark::DoNotOptimize(image);
  }
}
BENCHMARK(BM_DotCanvas80);

}  // namespace
