/* Resource ids of the builder's pictures; read by the resource script and the code. */
#pragma once

#define ART_APP_ICON 100
#define ART_ADD 201
#define ART_REMOVE 202
#define ART_REMOVE_ALL 203
#define ART_PAGE_PHOTOS 204
#define ART_PAGE_INSTALL 205
#define ART_PAGE_INFO 206
#define ART_PREVIEW 207
#define ART_BUILD 208
#define ART_HELP 209
#define ART_LUPA 210
#define ART_TITLE_MINIMIZE 211
#define ART_TITLE_DECOR 212
#define ART_TITLE_CLOSE 213
#define ART_LOGO 214
#define ART_MENU_ADD 221
#define ART_MENU_REMOVE 222
#define ART_MENU_REMOVE_ALL 223
#define ART_MENU_PREVIEW 224
#define ART_MENU_BUILD 225
