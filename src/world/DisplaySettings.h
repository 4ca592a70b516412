#pragma once
// Display options switched by the function keys. The key callback is the
// only writer; the render passes, the HUD and the world animation read them
// later in the same frame.

struct DisplaySettings {
    int samplingMode = 1;               // 0 nearest, 1 linear
    int mipmapMode = 2;                 // 0 off, 1 nearest, 2 linear
    bool transparencyEnabled = true;    // value of the water's "transparencyMode"
    bool showTextureInfo = false;       // HUD shows the sampling and mipmap lines
    bool showTransparencyInfo = false;  // HUD shows the transparency line
    bool showFrameCounter = false;      // HUD shows the frame counter
    bool lightRotationEnabled = false;  // updateWorld turns the light
};

extern DisplaySettings displaySettings;
