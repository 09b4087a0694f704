// The driver "teststub" of the print tests: a white 24-bit A4 page at 100
// dpi in memory (wine has no printer here). It logs every call, saves each
// ended page as print-<test>-<n>.png in its folder, hands the page to the
// test, and can deliver bands or report an error at a chosen page.
#ifndef KYT_TESTS_FRAMEWORK_STANDINPRINTER_H
#define KYT_TESTS_FRAMEWORK_STANDINPRINTER_H

#include "Printing.h"
#include "WineCheck.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The stand-in's page.
const int kPageWidth = 827;
const int kPageHeight = 1169;

class StandInPrinter : public PrinterDevice {
public:
    HDC createDC(const PrinterSpec& spec) override
    {
        ++created;
        if (spec.driver != "teststub")
            return nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info;
        ZeroMemory(&info, sizeof info);
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kPageWidth;
        info.bmiHeader.biHeight = -kPageHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        pageBitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        oldBitmap = SelectObject(dc, pageBitmap);
        PatBlt(dc, 0, 0, kPageWidth, kPageHeight, WHITENESS);
        return dc;
    }
    void deleteDC(HDC dc) override
    {
        log.push_back("DeleteDC");
        SelectObject(dc, oldBitmap);
        DeleteObject(pageBitmap);
        DeleteDC(dc);
    }
    int deviceCaps(HDC dc, int index) override
    {
        switch (index) {
        case HORZRES:
            return kPageWidth;
        case VERTRES:
            return kPageHeight;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 100;
        case HORZSIZE:
            return 210;
        case VERTSIZE:
            return 297;
        default:
            return GetDeviceCaps(dc, index);
        }
    }
    int setAbortProc(HDC, ABORTPROC procedure) override
    {
        abortProc = procedure;
        log.push_back("SetAbortProc");
        return 1;
    }
    int startDoc(HDC, const char* name) override
    {
        log.push_back(std::string("StartDoc:") + name);
        page = 0;
        return 1;
    }
    int startPage(HDC dc) override
    {
        log.push_back("StartPage");
        ++page;
        bandsGiven = 0;
        PatBlt(dc, 0, 0, kPageWidth, kPageHeight, WHITENESS);
        return 1;
    }
    int endPage(HDC dc) override
    {
        log.push_back("EndPage");
        RECT all = {0, 0, kPageWidth, kPageHeight};
        inkBoxes.push_back(winecheck::inkBox(dc, all, RGB(255, 255, 255)));
        if (!folder.empty() && !test.empty())
            winecheck::savePicture(dc, 0, 0, kPageWidth, kPageHeight,
                                   folder + "print-" + test + "-" + std::to_string(page) + ".png");
        if (onPage)
            onPage(dc);
        if (page == errorPage && abortProc) {
            abortProc(dc, SP_ERROR);
            return SP_ERROR;
        }
        return 1;
    }
    int endDoc(HDC) override
    {
        log.push_back("EndDoc");
        return 1;
    }
    int abortDoc(HDC) override
    {
        log.push_back("AbortDoc");
        return 1;
    }
    int nextBand(HDC, RECT* band) override
    {
        log.push_back("NextBand");
        if (bandsGiven < bandsPerPage) {
            int h = kPageHeight / bandsPerPage;
            *band = {0, bandsGiven * h, kPageWidth, (bandsGiven + 1) * h};
            ++bandsGiven;
        } else {
            *band = {0, 0, 0, 0};
        }
        return 1;
    }

    // Starts a new test: log and settings cleared.
    void begin(const char* name = "")
    {
        test = name;
        onPage = nullptr;
        log.clear();
        inkBoxes.clear();
        errorPage = 0;
        bandsPerPage = 0;
        created = 0;
    }
    int count(const std::string& call) const
    {
        int n = 0;
        for (const std::string& entry : log)
            n += entry == call;
        return n;
    }

    std::string folder;
    std::string test;
    std::vector<std::string> log;
    std::vector<RECT> inkBoxes;
    int errorPage = 0;
    int bandsPerPage = 0;
    int created = 0;
    // Called with each ended page, after it was saved.
    std::function<void(HDC)> onPage;

private:
    HBITMAP pageBitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    ABORTPROC abortProc = nullptr;
    int page = 0;
    int bandsGiven = 0;
};

#endif
