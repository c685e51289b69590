// Resource ids shared by both programs' resource scripts and their code: the tray icon and
// the PNG pictures of the logo and link images (RCDATA).
#pragma once

#define IDI_OSTREVI_TRAY 101

#define IDP_LOGO 201
#define IDP_LINK_WEB 202
#define IDP_LINK_GUIDE 203
#define IDP_LINK_HELP 204
#define IDP_DONATE 205
