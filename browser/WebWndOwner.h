#pragma once
// What the page window needs of the launcher it lies over: the face's movie
// and its visibility. The launcher dialog implements it; tests use a fake.
class IWebWndOwner {
public:
    virtual void PauseFace() = 0;   // halts the movie
    virtual void ResumeFace() = 0;  // plays it again
    virtual void ShowFace() = 0;
    virtual void HideFace() = 0;

protected:
    ~IWebWndOwner() = default;
};
