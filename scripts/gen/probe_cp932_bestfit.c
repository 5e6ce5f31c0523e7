/* Lists the code points that WideCharToMultiByte(932) maps by best fit: converted
   without the default character, yet not converted back to themselves. */
#include <windows.h>
#include <stdio.h>
int main(void)
{
    for (unsigned c = 1; c < 0x10000; c++) {
        if (c >= 0xD800 && c < 0xE000) continue;
        wchar_t w = (wchar_t)c, back[2];
        char out[4];
        BOOL used = FALSE;
        int n = WideCharToMultiByte(932, 0, &w, 1, out, 4, NULL, &used);
        if (n <= 0 || used) continue;
        int m = MultiByteToWideChar(932, 0, out, n, back, 2);
        if (m == 1 && back[0] == w) continue;
        unsigned code = n == 1 ? (unsigned char)out[0] : ((unsigned char)out[0] << 8) | (unsigned char)out[1];
        printf("    {0x%04X, 0x%X},\n", c, code);
    }
    return 0;
}
