#include "tests/gfx/image_metrics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gfx_test {

double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<double>(a[i]) - static_cast<double>(b[i]);
        sum += d * d;
    }
    const double mse = sum / static_cast<double>(a.size());
    if (mse == 0.0) return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

namespace {

std::vector<double> luma(const std::vector<std::uint8_t>& rgb) {
    std::vector<double> y(rgb.size() / 3);
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = 0.299 * rgb[3 * i] + 0.587 * rgb[3 * i + 1] + 0.114 * rgb[3 * i + 2];
    return y;
}

// Separable Gaussian blur with clamped edges.
std::vector<double> blur(const std::vector<double>& in, int width, int height) {
    constexpr int kRadius = 5;
    double weights[2 * kRadius + 1];
    double total = 0.0;
    for (int k = -kRadius; k <= kRadius; ++k) total += weights[k + kRadius] = std::exp(-(k * k) / (2.0 * 1.5 * 1.5));
    for (double& w : weights) w /= total;
    std::vector<double> across(in.size()), out(in.size());
    const auto at = [width](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double s = 0.0;
            for (int k = -kRadius; k <= kRadius; ++k)
                s += weights[k + kRadius] * in[at(std::clamp(x + k, 0, width - 1), y)];
            across[at(x, y)] = s;
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double s = 0.0;
            for (int k = -kRadius; k <= kRadius; ++k)
                s += weights[k + kRadius] * across[at(x, std::clamp(y + k, 0, height - 1))];
            out[at(x, y)] = s;
        }
    return out;
}

}  // namespace

double ssim(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int width, int height) {
    if (a.size() != b.size() || a.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return 0.0;
    const std::vector<double> x = luma(a), y = luma(b);
    std::vector<double> xx(x.size()), yy(x.size()), xy(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        xx[i] = x[i] * x[i];
        yy[i] = y[i] * y[i];
        xy[i] = x[i] * y[i];
    }
    const std::vector<double> mx = blur(x, width, height), my = blur(y, width, height);
    const std::vector<double> sxx = blur(xx, width, height), syy = blur(yy, width, height),
                              sxy = blur(xy, width, height);
    constexpr double c1 = (0.01 * 255) * (0.01 * 255), c2 = (0.03 * 255) * (0.03 * 255);
    double sum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double vx = sxx[i] - mx[i] * mx[i], vy = syy[i] - my[i] * my[i], cov = sxy[i] - mx[i] * my[i];
        sum += ((2 * mx[i] * my[i] + c1) * (2 * cov + c2)) / ((mx[i] * mx[i] + my[i] * my[i] + c1) * (vx + vy + c2));
    }
    return sum / static_cast<double>(x.size());
}

std::vector<std::uint8_t> differenceImage(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                                          int gain) {
    std::vector<std::uint8_t> out(a.size());
    for (std::size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3) {
        int worst = 0;
        for (std::size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int{a[i + c]} - int{b[i + c]}));
        const auto v = static_cast<std::uint8_t>(std::min(255, worst * gain));
        out[i] = out[i + 1] = out[i + 2] = v;
    }
    return out;
}

}  // namespace gfx_test
