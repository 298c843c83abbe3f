#include "tests/platform/movie/MovieTestSupport.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

std::vector<uint8_t> FakePng(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(static_cast<uint8_t>(v >> shift));
    }
    png.insert(png.end(), {8, 6, 0, 0, 0, 0xDE, 0xAD, 0xBE, 0xEF});
    return png;
}

movie::Movie SmallMovie()
{
    using namespace movie;
    Movie m;
    m.stageWidth = 300;
    m.stageHeight = 200;
    m.frameRate = 24;
    m.pictureX = 20;
    m.pictureY = -40;
    m.picture = {FakePng(300, 200), 300, 200};
    m.buttons.push_back({"go", {200, 400, 1640, 460}, {FakePng(82, 23), 82, 23}, {FakePng(82, 23), 82, 23},
                         OpenUrl{"http://host.example/a?b=1&c=?", "_blank"}});
    m.buttons.push_back({"min", {3000, 200, 660, 700}, {FakePng(33, 35), 33, 35}, {FakePng(33, 35), 33, 35},
                         FsCommand{"min", ""}});
    m.markers.push_back({"webMC", {12196, 5840, 10900, 7680}});
    m.startCommands.push_back({"moveweb", "609.8,292,545,384"});
    m.startCommands.push_back({"weburl", "http://host.example/login/"});
    return m;
}

std::vector<uint8_t> GeneratedMovieBytes()
{
    std::ifstream in(MORVANE_TEST_MOVIE, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " MORVANE_TEST_MOVIE);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
