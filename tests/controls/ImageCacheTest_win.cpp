// Pictures from the program's resources and the drawn button, under Wine.
#include <gtest/gtest.h>

#include "controls/DUIButton_win.h"
#include "controls/ImageCache_win.h"
#include "platform/Com_win.h"
#include "resources/ResourceIds.h"

namespace {

TEST(ImageCache, ANameIsDecodedOnceAndTwoNamesAreTwoPictures)
{
    ImageCache& cache = ImageCache::Instance();
    EXPECT_EQ(&cache, &ImageCache::Instance());
    Gdiplus::Bitmap* first = cache.GetImage("dialog\\dlg_close_btn.bmp", L"PNG", IDB_CLOSE_BTN);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetWidth(), 60u);
    EXPECT_EQ(first->GetHeight(), 20u);
    // The same name: the same object, whatever the later id says.
    EXPECT_EQ(cache.GetImage("dialog\\dlg_close_btn.bmp", L"PNG", IDB_SKIN), first);
    // Another name for the same resource: a picture of its own.
    Gdiplus::Bitmap* second = cache.GetImage("another name", L"PNG", IDB_CLOSE_BTN);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    // Names compare byte for byte.
    EXPECT_NE(cache.GetImage("DIALOG\\dlg_close_btn.bmp", L"PNG", IDB_CLOSE_BTN), first);
    EXPECT_EQ(cache.GetImage("missing", L"PNG", 4242), nullptr);
}

TEST(PictureLoaders, UncachedBitmapsAndAlphaImagesFromResources)
{
    std::unique_ptr<Gdiplus::Bitmap> logo;
    ASSERT_TRUE(LoadBitmapFromResource(IDB_LOGO, L"PNG", &logo));
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->GetWidth(), 112u);
    EXPECT_EQ(logo->GetHeight(), 48u);
    std::unique_ptr<Gdiplus::Bitmap> none;
    EXPECT_FALSE(LoadBitmapFromResource(4242, L"PNG", &none));

    CImage image;
    ASSERT_TRUE(LoadImageFromResource(image, IDB_WELCOME, L"PNG"));
    EXPECT_FALSE(image.IsNull());
    EXPECT_EQ(image.Width(), 75);
    EXPECT_EQ(image.Height(), 15);
    EXPECT_FALSE(LoadImageFromResource(image, 4242, L"PNG"));
    EXPECT_TRUE(image.IsNull());  // emptied first
}

// Where the strip's frames differ, the button shows the frame of its state.
TEST(DrawnButton, ShowsTheFrameOfItsState)
{
    Gdiplus::Bitmap* strip = ImageCache::Instance().GetImage("dialog\\dlg_close_btn.bmp", L"PNG", IDB_CLOSE_BTN);
    ASSERT_NE(strip, nullptr);
    // A pixel that differs between the three frames.
    int px = -1, py = -1;
    for (int y = 0; y < 20 && px < 0; ++y) {
        for (int x = 0; x < 20; ++x) {
            Gdiplus::Color a, b, c;
            strip->GetPixel(x, y, &a);
            strip->GetPixel(x + 20, y, &b);
            strip->GetPixel(x + 40, y, &c);
            if (a.GetA() == 255 && b.GetA() == 255 && c.GetA() == 255 && a.GetValue() != b.GetValue() &&
                b.GetValue() != c.GetValue() && a.GetValue() != c.GetValue()) {
                px = x;
                py = y;
                break;
            }
        }
    }
    ASSERT_GE(px, 0) << "the strip's frames look the same everywhere";
    struct Case {
        int hover, pressed, disabled, frame;
    };
    for (const Case& c : {Case{0, 0, 0, 0}, Case{1, 0, 0, 1}, Case{1, 1, 0, 2}, Case{0, 0, 1, 0}}) {
        Gdiplus::Bitmap canvas(20, 20, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics graphics(&canvas);
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
            CDUIButton button;
            button.Setup(nullptr, RECT{0, 0, 20, 20}, nullptr, strip, 3, 110);
            button.m_bHover = c.hover;
            button.m_bPressed = c.pressed;
            button.m_bDisabled = c.disabled;
            button.Draw(graphics);
        }
        Gdiplus::Color drawn, expected;
        canvas.GetPixel(px, py, &drawn);
        strip->GetPixel(px + 20 * c.frame, py, &expected);
        EXPECT_EQ(drawn.GetValue(), expected.GetValue()) << "frame " << c.frame;
    }
}

}  // namespace
