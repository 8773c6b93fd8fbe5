#include "app/Gradient.h"

WindowPlacement ChooseWindowPlacement(int left, int top, int right, int bottom)
{
    int w = right - left;
    int h = bottom - top;
    if (w <= 800)
        return {0, 0, w, h};
    int width = (w * 3) / 4;
    int height = (h * 3) / 4;
    return {(right - width - left) / 2, (bottom - height - top) / 2, width, height};
}

GradientBands ComputeGradientBands(int clientHeight)
{
    if (clientHeight <= 0)
        return {0, 0, 0};
    int b = static_cast<int>(clientHeight * (1.0 / 180));
    if (b < 1)
        b = 1;
    while (clientHeight / b > 180)
        ++b;
    int n = clientHeight / b;
    if (n < 1)
        n = 1;
    int count = (clientHeight + b - 1) / b;
    return {b, count, 180 / n};
}
